-- KelvraSet: the workshop's shared history of reads and writes on PostgreSQL.
--
-- An administrator runs this once, as a superuser, in the database the
-- benches' historyUrl names:
--
--   createdb kelvraset
--   psql -d kelvraset -f /usr/share/kelvraset/workshop-server.sql
--   psql -d kelvraset -c "ALTER ROLE kelvraset_bench PASSWORD 'a secret'"
--
-- It makes two roles, the table and its indexes:
--   kelvraset_owner  owns the table; it cannot log in.
--   kelvraset_bench  what a bench logs in as (or a login role granted it, one
--                    per bench): it may add entries and read them, nothing else.
-- Run again, it changes nothing that is in place. A table that benches made
-- themselves with an older KelvraSet is taken over as it stands: the owner
-- becomes kelvraset_owner, so the bench's own role may no longer change it;
-- grant that role kelvraset_bench (GRANT kelvraset_bench TO bench).
--
-- An entry, once on the server, is never changed or deleted: a trigger
-- refuses UPDATE, DELETE and TRUNCATE, the owner's too. For a deliberate
-- clean-up the owner sets kelvraset.cleanup for one transaction:
--
--   BEGIN;
--   SET LOCAL ROLE kelvraset_owner;
--   SET LOCAL kelvraset.cleanup = 'on';
--   DELETE FROM history_entry WHERE time_utc < now() - interval '15 years';
--   COMMIT;

\set ON_ERROR_STOP on
SET client_min_messages = warning;
BEGIN;

DO $roles$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'kelvraset_owner') THEN
        CREATE ROLE kelvraset_owner NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'kelvraset_bench') THEN
        CREATE ROLE kelvraset_bench LOGIN;
    END IF;
END
$roles$;

-- No role makes tables here but the administrator (the default from
-- PostgreSQL 15 on, said again for older servers).
REVOKE CREATE ON SCHEMA public FROM PUBLIC;
GRANT USAGE ON SCHEMA public TO kelvraset_bench;

CREATE TABLE IF NOT EXISTS history_entry (
    uuid uuid PRIMARY KEY,
    time_utc timestamptz NOT NULL,
    operation text NOT NULL, result text NOT NULL, message text NOT NULL, detail text NOT NULL,
    port text NOT NULL, device text NOT NULL, adapter_serial text NOT NULL,
    model text NOT NULL, serial_number text NOT NULL, changed_fields text NOT NULL,
    bench text NOT NULL, restored_from uuid,
    before_bytes bytea, before_mask bytea, after_bytes bytea, after_mask bytea,
    received_utc timestamptz NOT NULL DEFAULT now());
ALTER TABLE history_entry OWNER TO kelvraset_owner;

-- The workshop view, newest first, a page at a time.
CREATE INDEX IF NOT EXISTS history_entry_newest ON history_entry (time_utc DESC, uuid DESC);
-- A radio by its whole serial number or by its last digits: the number is
-- read backwards, so that its end is the start of the index's key. The index
-- holds what a page is ordered by, so that the newest of a thousand matches
-- are found in the index alone and only those are read from the table.
CREATE INDEX IF NOT EXISTS history_entry_serial_end ON history_entry (reverse(serial_number) text_pattern_ops)
    INCLUDE (time_utc, uuid, serial_number);

CREATE OR REPLACE FUNCTION history_entry_is_kept() RETURNS trigger LANGUAGE plpgsql AS $kept$
BEGIN
    IF current_setting('kelvraset.cleanup', true) = 'on'
       AND pg_has_role(current_user, 'kelvraset_owner', 'USAGE') THEN
        RETURN CASE TG_OP WHEN 'DELETE' THEN OLD WHEN 'UPDATE' THEN NEW END;
    END IF;
    RAISE EXCEPTION 'the workshop''s history entries are never changed or deleted'
        USING ERRCODE = 'insufficient_privilege',
              HINT = 'For a deliberate clean-up the owner sets kelvraset.cleanup = on (see workshop-server.sql).';
END
$kept$;
ALTER FUNCTION history_entry_is_kept() OWNER TO kelvraset_owner;

DROP TRIGGER IF EXISTS history_entry_is_kept ON history_entry;
CREATE TRIGGER history_entry_is_kept BEFORE UPDATE OR DELETE ON history_entry
    FOR EACH ROW EXECUTE FUNCTION history_entry_is_kept();
DROP TRIGGER IF EXISTS history_entry_is_kept_whole ON history_entry;
CREATE TRIGGER history_entry_is_kept_whole BEFORE TRUNCATE ON history_entry
    FOR EACH STATEMENT EXECUTE FUNCTION history_entry_is_kept();

-- A bench adds entries and reads them. The time the server received an
-- entry is the server's to say.
REVOKE ALL ON history_entry FROM PUBLIC;
GRANT SELECT ON history_entry TO kelvraset_bench;
GRANT INSERT (uuid, time_utc, operation, result, message, detail, port, device, adapter_serial, model,
              serial_number, changed_fields, bench, restored_from, before_bytes, before_mask, after_bytes, after_mask)
    ON history_entry TO kelvraset_bench;

COMMIT;
