#include "services/clioperator.h"

#include "record/imagecodec.h"
#include "services/fieldchanges.h"

#include <utility>

namespace kelvra {

QStringList CliOperator::TakeShown()
{
    return std::exchange(m_shown, {});
}

void CliOperator::ShowMessage(const QString &text, Icon, const QString &)
{
    // The closing box comes with the operation's result; this keeps what came before it.
    m_shown << text;
}

void CliOperator::GetDataByShow()
{
    // Every block a write sends was read again just now, from the radio the
    // gate has found to be the one read before: its own values, not that read's.
    DecodeRadioInfo(m_image, m_info);
    if (m_changes)
        m_changes->ApplyTo(m_info);
}

} // namespace kelvra
