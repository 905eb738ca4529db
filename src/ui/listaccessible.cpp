#include "ui/listaccessible.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

namespace kelvra {

namespace {

// What Qt's own list interface offers a screen reader (the popup list as its
// child, opening it as an action), with the name and the value kept apart.
class NamedList : public QAccessibleWidget
{
public:
    explicit NamedList(QComboBox *list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return List()->currentText();
        const QString text = QAccessibleWidget::text(t);
        // A list nobody named is still better known by its item than by nothing.
        return t == QAccessible::Name && text.isEmpty() ? List()->currentText() : text;
    }

    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(List()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == List()->view() ? 0 : -1;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = List()->view()->isVisible();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action != showMenuAction() && action != pressAction())
            QAccessibleWidget::doAction(action);
        else if (List()->view()->isVisible())
            List()->hidePopup();
        else
            List()->showPopup();
    }

private:
    QComboBox *List() const { return static_cast<QComboBox *>(widget()); }
};

QAccessibleInterface *NamedListFactory(const QString &className, QObject *object)
{
    // An editable list keeps Qt's own interface, which speaks for its text field.
    auto *list = qobject_cast<QComboBox *>(object);
    if (className != QLatin1String("QComboBox") || !list || list->isEditable())
        return nullptr;
    return new NamedList(list);
}

} // namespace

void NameListsByTheirLabels()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(NamedListFactory);
    installed = true;
}

} // namespace kelvra
