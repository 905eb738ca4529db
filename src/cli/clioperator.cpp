#include "cli/clioperator.h"

#include "cli/fieldchanges.h"
#include "record/imagecodec.h"

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
    // Every block a write sends is in the image as the radio holds it: the
    // re-read ones just now, block 3 from the read that came before.
    DecodeRadioInfo(m_image, m_info);
    if (m_changes)
        m_changes->ApplyTo(m_info);
}

} // namespace kelvra
