#pragma once

#include "link/operatorseam.h"

#include <QString>
#include <QStringList>

namespace kelvra {

class FieldChanges;
class RadioImage;
struct RadioInfo;

// The person at the bench, answered by the command's options instead of
// message boxes. The band question never arises: the record is the radio's
// own, read afresh, and only the fields named are changed, a named band
// being the operator's answer.
class CliOperator : public Operator
{
public:
    CliOperator(RadioInfo &info, const RadioImage &image) : m_info(info), m_image(image) {}

    // For the next write: what to change, and the model the radio must be.
    void SetWrite(const FieldChanges *changes, const QString &model)
    {
        m_changes = changes;
        m_model = model;
    }
    // Boxes shown before the one that ends an operation ("Model Error"), oldest first.
    QStringList TakeShown();

    void ShowMessage(const QString &text, Icon icon, const QString &detail = QString()) override;
    void ShowByData() override {}
    void GetDataByShow() override;
    QString ModelBoxText() const override { return m_model; }

private:
    RadioInfo &m_info;
    const RadioImage &m_image;
    const FieldChanges *m_changes = nullptr;
    QString m_model;
    QStringList m_shown;
};

} // namespace kelvra
