// What the history window writes: the CSV export, a radio's block, a radio's
// record on paper or as PDF. Each may hold passwords, so a file is its
// owner's alone.
#include "ui/historywindow.h"

#include "history/handoverrecord.h"
#include "history/historycsv.h"
#include "history/historystore.h"
#include "lang/messages.h"
#include "ui/historylistmodel.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QSysInfo>
#include <QTableView>
#include <QTextDocument>

namespace kelvra {

namespace {

// A byte the history does not know goes into a block file as the value of
// erased memory, which the radio's texts read as their end.
constexpr quint8 UnknownByteInFile = 0xFF;

constexpr auto OwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

// The file (an old one replaced too) is its owner's alone before a byte is written.
bool OpenPrivately(QSaveFile &file)
{
    return file.open(QIODevice::WriteOnly) && file.setPermissions(OwnerOnly);
}

QString Where(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

bool HistoryWindow::ExportCsv(const QString &path, bool showPasswords)
{
    // For people: captions and local times; programs have history --csv.
    const CsvForm form{true, m_languageId, showPasswords};
    QSaveFile file(path);
    HistoryProblem problem;
    bool written = OpenPrivately(file);
    if (written && m_model->Workshop()) {
        // The workshop's entries as far as they have been fetched: the server is not asked again here.
        WriteHistoryCsvHeader(form, file);
        for (int row = 0; row < m_model->rowCount(); ++row)
            WriteHistoryCsvRow(*m_model->EntryAt(row), form, file);
    } else if (written) {
        written = WriteHistoryCsv(m_store, {m_model->Filter(), 1000, m_model->Order(), std::nullopt}, form, file,
                                  &problem);
    }
    written = written && file.commit();
    ShowStatus(written ? tr("Exported to %1, readable by you alone.").arg(Where(path))
                       : tr("Cannot export to %1: %2")
                             .arg(QDir::toNativeSeparators(path),
                                  problem.reason.isEmpty() ? file.errorString() : problem.reason));
    return written;
}

bool HistoryWindow::SaveBlock(const QString &path)
{
    const HistoryEntry *entry = Selected();
    if (!entry)
        return false;
    // The block as it was before the operation: for a write, its backup.
    const KnownImage &image = entry->before.AnyKnown() ? entry->before : entry->after;
    const RadioImage bytes = image.Filled(UnknownByteInFile);
    QSaveFile file(path);
    const bool written = OpenPrivately(file)
        && file.write(reinterpret_cast<const char *>(bytes.data()), RadioImage::Size) == RadioImage::Size
        && file.commit();
    const int unknown = RadioImage::Size - image.KnownCount();
    if (!written)
        ShowStatus(tr("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    else if (unknown > 0)
        ShowStatus(
            tr("Saved %1, readable by you alone; %n byte(s) were not known and are saved as FF.", nullptr, unknown)
                .arg(Where(path)));
    else
        ShowStatus(tr("Saved %1, readable by you alone.").arg(Where(path)));
    return written;
}

bool HistoryWindow::PrintRecord(QPrinter &printer)
{
    const HistoryEntry *entry = Selected();
    if (!entry)
        return false;
    QTextDocument document;
    document.setHtml(HandoverRecordHtml(*entry, m_languageId, m_showPasswords->isChecked(),
                                        QSysInfo::machineHostName(), QDateTime::currentDateTimeUtc()));
    printer.setDocName(HandoverRecordTitle(*entry));
    printer.setCreator(ProgramName());
    document.print(&printer);
    const bool printed = printer.printerState() != QPrinter::Error;
    const QString file = printer.outputFileName();
    if (file.isEmpty())
        ShowStatus(printed
                       ? tr("The record of %1 went to the printer %2.").arg(entry->serialNumber, printer.printerName())
                       : tr("The record of %1 could not be printed.").arg(entry->serialNumber));
    else if (printed && QFile::setPermissions(file, OwnerOnly))
        ShowStatus(tr("The record of %1 is in %2, readable by you alone.").arg(entry->serialNumber, Where(file)));
    else
        ShowStatus(tr("Cannot save the record in %1.").arg(Where(file)));
    return printed;
}

void HistoryWindow::ChoosePrinter()
{
    if (!Selected())
        return;
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(tr("Print record"));
    if (dialog.exec() == QDialog::Accepted && !PrintRecord(printer))
        QMessageBox::warning(this, ProgramName(), m_status->text());
}

void HistoryWindow::ChooseCsvFile()
{
    const QString path
        = QFileDialog::getSaveFileName(this, tr("Export CSV"), QStringLiteral("history.csv"), tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    if (!ExportCsv(path, m_showPasswords->isChecked()))
        QMessageBox::warning(this, ProgramName(), m_status->text());
}

void HistoryWindow::ChooseBlockFile()
{
    const HistoryEntry *entry = Selected();
    if (!entry)
        return;
    // The serial number comes from the radio: nothing in it may name another folder.
    QString serial = entry->serialNumber;
    serial.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString name = QStringLiteral("%1-%2.bin")
                             .arg(serial.isEmpty() ? QStringLiteral("radio") : serial,
                                  entry->time.toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString path = QFileDialog::getSaveFileName(this, tr("Save block"), name, tr("Block files (*.bin)"));
    if (!path.isEmpty() && !SaveBlock(path))
        QMessageBox::warning(this, ProgramName(), m_status->text());
}

} // namespace kelvra
