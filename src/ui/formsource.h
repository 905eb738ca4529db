#pragma once

#include "link/operationresult.h"
#include "link/writegate.h"

#include <QObject>
#include <QString>

namespace kelvra {

class FrmMain;
class HistoryRecorder;
class RadioLink;

// Which radio the form's values came from, and the window's write gate: a
// write whose values were not read from the radio on the cable (none read
// since start-up or since a failed read, another radio read, no values of
// its own put back from the history) stops before the band question and
// asks, naming the radio and what the write would change in it. Then the
// history's gate, when there is one, backs the radio's bytes up.
class FormSource : public QObject, public WriteGate
{
    Q_OBJECT
public:
    // Becomes link's write gate, asking history's after its own.
    FormSource(FrmMain &window, RadioLink &link, HistoryRecorder *history, QObject *parent = nullptr);
    ~FormSource() override;

    Answer MayWrite(const RadioImage &radio, ImageBlocks read) override;

private:
    void Finished(const OperationResult &result);
    // The question for the radio, or empty when the write changes nothing in it.
    QString Question(const RadioImage &radio, ImageBlocks read) const;

    FrmMain &m_window;
    RadioLink &m_link;
    HistoryRecorder *m_history;
    QString m_serialNumber; // of the radio the form's values are; empty: none
    bool m_known = false;
};

} // namespace kelvra
