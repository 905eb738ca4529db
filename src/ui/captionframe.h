#pragma once

#include <QGroupBox>

namespace kelvra {

// A frame whose caption sits in its top border line, so that controls placed
// just below the caption stay clear of the border.
class CaptionFrame : public QGroupBox
{
    Q_OBJECT

public:
    explicit CaptionFrame(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace kelvra
