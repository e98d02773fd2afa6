#include "about_window.h"

#include <QFrame>
#include <QLabel>

#include "fonts.h"
#include "picture_label.h"
#include "platform.h"

namespace fw {

namespace {

constexpr struct {
    const char* caption;
    const char* value;
} kRows[5] = {
    {"Product:", "Fenwater (Ostrel) Simulator"},
    {"Version:", "1.0.0.0 (file 1.0.2.0)"},
    {"Company:", "_Morvane_"},
    {"Language:", "Italian (code page 1252)"},
    {"Simulates:", "Ostrel Fenwater LCD game"},
};

}  // namespace

TAboutForm::TAboutForm(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("About Fenwater"));
    setFixedSize(275, 224);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setFont(uiFont(11));

    // The picture in a sunken frame across the top.
    auto* frame = new PictureLabel(QStringLiteral(":/pictures/about.jpg"), this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(2);
    frame->setGeometry(6, 6, 263, 92);

    for (int i = 0; i < 5; ++i) {
        const int top = 106 + 22 * i;
        auto* c = new QLabel(QString::fromLatin1(kRows[i].caption), this);
        c->setGeometry(10, top, 70, 16);
        c->setFont(uiFont(11));
        c->setStyleSheet(QStringLiteral("color: #c0c0c0;"));
        auto* v = new QLabel(QString::fromLatin1(kRows[i].value), this);
        v->setGeometry(84, top, 185, 16);
        v->setFont(uiFont(11, true));
        v->setStyleSheet(QStringLiteral("color: #ffffff;"));
        captions_[i] = c;
        values_[i] = v;
    }
    // At the top-left corner of the screen, where the window system lets it ask.
    if (windowsPlaceThemselves()) move(0, 0);
}

}  // namespace fw
