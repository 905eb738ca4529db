#pragma once

#include "history/historyquery.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;

namespace kelvra {

// The history window's filters, combined: any part of the serial number (in
// the workshop view its end), of the dealer code and of the bench's name,
// the operation, the result, and a range of days in local time.
class HistoryFilterBar : public QWidget
{
    Q_OBJECT
public:
    explicit HistoryFilterBar(QWidget *parent = nullptr);

    HistoryFilter Filter() const;
    // The server finds a serial number by its end: said in the empty field.
    void SetWorkshop(bool workshop);
    // The first and the last control, for the window's tab order.
    QWidget *First() const;
    QWidget *Last() const;

signals:
    void Changed();

private:
    QLineEdit *m_serial = nullptr;
    QLineEdit *m_dealer = nullptr;
    QLineEdit *m_bench = nullptr;
    QComboBox *m_operation = nullptr;
    QComboBox *m_result = nullptr;
    QCheckBox *m_fromSet = nullptr;
    QDateEdit *m_from = nullptr;
    QCheckBox *m_untilSet = nullptr;
    QDateEdit *m_until = nullptr;
};

} // namespace kelvra
