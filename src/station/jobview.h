#pragma once

#include <QDate>
#include <QWidget>

class QLabel;

namespace kelvra {

class FieldFlow;
class StationJob;

// The job a station writes, as the people at the line check it: the job
// file, the radios' model, each field with its value under the caption the
// main window gives it, the units file, and how dates are written. The
// fields flow as the window's width allows, so a job fits a short screen.
class JobView : public QWidget
{
    Q_OBJECT
public:
    explicit JobView(qint16 languageId, QWidget *parent = nullptr);

    // today: the date "today" stands for.
    void Show(const StationJob &job, const QDate &today = QDate::currentDate());
    void ShowNone(const QString &why);

private:
    qint16 m_languageId;
    QLabel *m_file = nullptr;
    FieldFlow *m_fields = nullptr;
};

} // namespace kelvra
