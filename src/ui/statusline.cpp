#include "ui/statusline.h"

#include <QCoreApplication>

namespace kelvra {

namespace {

QString Counted(const char *text, const LinkActivity &activity)
{
    return QCoreApplication::translate("StatusLine", text).arg(activity.ordinal).arg(activity.count);
}

QString StepText(const LinkActivity &activity, bool writing)
{
    using Kind = LinkActivity::Kind;
    switch (activity.kind) {
    case Kind::Program:
        return QCoreApplication::translate("StatusLine", "Entering programming mode...");
    case Kind::Identify:
        return QCoreApplication::translate("StatusLine", "Identifying the radio...");
    case Kind::ReadBlock:
        // A write first reads the blocks it sends back, to keep the bytes it does not change.
        return writing ? Counted(QT_TRANSLATE_NOOP("StatusLine", "Reading block %1 of %2 before writing"), activity)
                       : Counted(QT_TRANSLATE_NOOP("StatusLine", "Reading block %1 of %2"), activity);
    case Kind::WriteBlock:
        return Counted(QT_TRANSLATE_NOOP("StatusLine", "Writing block %1 of %2"), activity);
    case Kind::CheckBlock:
        return Counted(QT_TRANSLATE_NOOP("StatusLine", "Checking block %1 of %2"), activity);
    case Kind::End:
        return QCoreApplication::translate("StatusLine", "Leaving programming mode...");
    }
    return QString();
}

} // namespace

StatusLine::StatusLine(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void StatusLine::Show(const LinkActivity &activity, bool writing)
{
    const QString step = StepText(activity, writing);
    QString shown = step;
    if (activity.resends > 0)
        shown = QCoreApplication::translate("StatusLine", "%1 (sent again: %2)")
                    .arg(step, QString::number(activity.resends));
    setText(shown);
    setToolTip(QString());
    Announce(step);
}

void StatusLine::Clear()
{
    clear();
    setToolTip(QString());
    Announce(QString());
}

void StatusLine::ShowNotice(const QString &notice)
{
    // A path has no blank to wrap at, and the line is narrow: it may break after each separator.
    QString shown = notice;
    for (const QChar separator : {u'/', u'.', u'-'})
        shown.replace(separator, QString(separator) + QChar(0x200B));
    setText(shown);
    setToolTip(notice);
    Announce(notice);
}

void StatusLine::NameForScreenReaders()
{
    // With a name of its own, the label no longer reports each new text as a new name.
    setAccessibleName(QCoreApplication::translate("StatusLine", "Status"));
}

void StatusLine::Announce(const QString &step)
{
    // Setting the description tells a screen reader, even when it is unchanged.
    if (step != accessibleDescription())
        setAccessibleDescription(step);
}

} // namespace kelvra
