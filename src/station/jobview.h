#pragma once

#include <QDate>
#include <QWidget>

class QGridLayout;
class QLabel;

namespace kelvra {

class StationJob;

// The job a station writes, as the people at the line check it: the job
// file, the radios' model, each field with its value under the caption the
// main window gives it, the units file, and how dates are written.
class JobView : public QWidget
{
    Q_OBJECT
public:
    explicit JobView(qint16 languageId, QWidget *parent = nullptr);

    // today: the date "today" stands for.
    void Show(const StationJob &job, const QDate &today = QDate::currentDate());
    void ShowNone(const QString &why);

private:
    void AddRow(const QString &caption, const QString &value);

    qint16 m_languageId;
    QLabel *m_file = nullptr;
    QWidget *m_fields = nullptr;
    QGridLayout *m_grid = nullptr;
    int m_rows = 0;
};

} // namespace kelvra
