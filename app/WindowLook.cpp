#include "app/WindowLook.h"

#include <QLabel>
#include <QPainter>

#include "controls/NvOS8PushButton.h"
#include "controls/TFlatSpeedButtonUnit.h"
#include "platform/core/Cp949.h"

namespace {

constexpr TColor kShadedButtonColor = 0xD2D2D2;
constexpr TColor kTitleButtonHot = 0xC58434;

QPixmap FilmIcon() {
    QPixmap pm(16, 10);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.fillRect(0, 0, 16, 10, QColor(40, 40, 40));
    p.fillRect(3, 2, 10, 6, QColor(230, 230, 230));
    for (int x = 1; x < 16; x += 3) {
        p.fillRect(x, 0, 1, 1, Qt::white);
        p.fillRect(x, 9, 1, 1, Qt::white);
    }
    return pm;
}

}  // namespace

void SetShadedButtonLook(TNvOS8PushButton* button) {
    button->SetBaseColor(kShadedButtonColor);
    TFont* font = button->Font();
    font->SetName(Cp949("굴림"));
    font->SetHeight(-12);
    font->SetStyle(TFontStyles());
}

void SetTitleButtonLook(TFlatSpeedButton* button) {
    button->SetColorFocused(kTitleButtonHot);
    button->SetColorDown(kTitleButtonHot);
    button->SetColorBorder(clWhite);
    button->SetColorShadow(clWhite);
    TFont* font = button->Font();
    font->SetHeight(-12);
    font->SetColor(clWhite);
    button->SetCursor(crHandPoint);
}

QLabel* CreateTitleIcon(QWidget* titleBar, int left, int top) {
    auto* icon = new QLabel(titleBar);
    icon->setObjectName("Image1");
    icon->setPixmap(FilmIcon());
    icon->setGeometry(left, top, 16, 10);
    icon->setAttribute(Qt::WA_TransparentForMouseEvents);
    return icon;
}
