#include "ui/listlookup.h"

#include <QComboBox>

namespace kelvra {

QString MatchListItem(const QComboBox *list, const QString &text)
{
    if (list->count() == 0)
        return QString();
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemText(i) == text)
            return text;
    }
    return list->itemText(0);
}

} // namespace kelvra
