#pragma once

// A date field in the program's short date format (dd/MM/yyyy or MM/dd/yyyy with its separator)
// with a calendar to pick from. One click into it selects its first section, so that a whole
// date can be typed at once ("21062024" or "21/06/2024", a separator typed after a section that
// filled itself counting as the move it already made); a second click places the caret in a
// section as usual.

#include <QDateEdit>

namespace vrn {

class TDateEdit : public QDateEdit
{
    Q_OBJECT

public:
    explicit TDateEdit(QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool FEnteringByClick = false;
    bool FAdvancedByItself = false;
};

} // namespace vrn
