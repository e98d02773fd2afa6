#include "launcher.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include "about_window.h"
#include "file_ops.h"
#include "fonts.h"
#include "game_window.h"
#include "picture_label.h"
#include "platform.h"
#include "program_facts.h"

namespace fw {

namespace {

// A label that acts on a left click.
class LinkLabel : public QLabel {
  public:
    LinkLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
        : QLabel(text, parent), onClick_(std::move(onClick)) {}

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            onClick_();
    }

  private:
    std::function<void()> onClick_;
};

QLabel* label(QWidget* parent, const QString& text, QRect place, const QFont& font, QColor colour,
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(place);
    l->setFont(font);
    l->setAlignment(align);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colour);
    l->setPalette(pal);
    return l;
}

void styleLink(QLabel* l, QRect place) {
    l->setGeometry(place);
    l->setFont(uiFont(12, false, true));
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 255, 255));
    l->setPalette(pal);
    l->setCursor(Qt::PointingHandCursor);
}

}  // namespace

TSplashForm::TSplashForm(SettingsStore& store, TForm1& game, TAboutForm& about, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      store_(store),
      game_(game),
      about_(about) {
    startSound = [](int) { return false; };
    openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    errorBox = [this](const QString& caption, const QString& text) {
        QMessageBox::critical(this, caption, text);
    };
    // The program ends because it cannot play: a failure, for whoever started it.
    terminate = [] { QCoreApplication::exit(1); };
    chooseSaveFile = [this] {
        const QString name = QStringLiteral("fenwater-game") + QLatin1String(kGameFileEnding);
        return QFileDialog::getSaveFileName(
            game_.isVisible() ? static_cast<QWidget*>(&game_) : this,
            QString::fromLatin1(kSaveItem).chopped(3), QDir::home().filePath(name),
            QStringLiteral("Fenwater games (*%1)").arg(QLatin1String(kGameFileEnding)));
    };

    setWindowTitle(QStringLiteral("About Fenwater..."));
    setFixedSize(269, 337);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setFont(uiFont(11));

    Im_Piccina = new PictureLabel(QStringLiteral(":/pictures/Im_Piccina.jpg"), this);
    Im_Piccina->setGeometry(34, 51, 200, 137);

    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;
    La_Title = label(this, QString::fromLatin1(kApplicationTitle), {10, 16, 249, 15},
                     uiFont(12, true), Qt::white, centred);
    La_Version = label(this, QStringLiteral("Version S3/1.02"), {87, 32, 96, 15}, uiFont(12, true),
                       Qt::white, centred);
    La_Http = new LinkLabel(QString::fromLatin1(kHttpLink), this, [this] { La_HttpClick(); });
    styleLink(La_Http, {36, 216, 198, 15});
    La_Email = new LinkLabel(QString::fromLatin1(kEmailLink), this, [this] { La_EmailClick(); });
    styleLink(La_Email, {24, 238, 222, 15});
    La_Sound = label(this, QStringLiteral("Select sound mode:"), {32, 269, 100, 14}, uiFont(11),
                     Qt::white);

    CB_Sound = new QComboBox(this);
    CB_Sound->setGeometry(139, 266, 97, 21);
    CB_Sound->setEditable(false);
    CB_Sound->setFont(uiFont(11));
    CB_Sound->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    QPalette cb = CB_Sound->palette();
    for (auto role : {QPalette::Base, QPalette::Button, QPalette::Window})
        cb.setColor(role, Qt::white);
    for (auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        cb.setColor(role, Qt::black);
    CB_Sound->setPalette(cb);
    for (const SoundChoice& choice : kSoundChoices)
        CB_Sound->addItem(QString::fromLatin1(choice.text));
    CB_Sound->setCurrentIndex(-1);
    connect(CB_Sound, &QComboBox::activated, this, [this] { CB_SoundChange(); });

    Puls_Play = new QPushButton(QStringLiteral("- PLAY -"), this);
    Puls_Play->setGeometry(102, 304, 65, 25);
    Puls_Play->setFont(uiFont(11, true));
    Puls_Play->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    Puls_Play->setCursor(Qt::PointingHandCursor);
    // Light 3-D text needs a darker face to read as enabled: on a pale face it would
    // look like a disabled button. Disabled, the text dims to the face's own grey.
    QPalette play = Puls_Play->palette();
    play.setColor(QPalette::Button, QColor(80, 80, 80));
    play.setColor(QPalette::Active, QPalette::ButtonText, QColor(227, 227, 227));
    play.setColor(QPalette::Inactive, QPalette::ButtonText, QColor(227, 227, 227));
    play.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    Puls_Play->setPalette(play);
    connect(Puls_Play, &QPushButton::clicked, this, [this] { Puls_PlayClick(); });

    buildMenu();
}

void TSplashForm::buildMenu() {
    PM_Menu = new QMenu(this);
    PM_Menu->setFont(inWindowPixels(PM_Menu->font()));
    auto item = [this](const char* caption, Qt::Key key, void (TSplashForm::*handler)()) {
        QAction* a = PM_Menu->addAction(QString::fromLatin1(caption));
        if (key != Qt::Key_unknown) a->setShortcut(QKeySequence(key));
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };
    PM_1About = item("About...", Qt::Key_F1, &TSplashForm::PM_1AboutClick);
    QFont bold = PM_1About->font();
    bold.setBold(true);
    PM_1About->setFont(bold);
    PM_Menu->setDefaultAction(PM_1About);
    PM_Menu->addSeparator();
    PM_3Readme = item("View 'Readme.txt'", Qt::Key_F2, &TSplashForm::PM_3ReadmeClick);
    PM_4Whatsnew = item("View 'Whatsnew.txt'", Qt::Key_F3, &TSplashForm::PM_4WhatsnewClick);
    PM_Menu->addSeparator();
    PM_6Instruct = item("Open 'Manual.exe'", Qt::Key_F4, &TSplashForm::PM_6InstructClick);
    PM_6Instruct->setEnabled(false);
    PM_Menu->addSeparator();
    PM_8Hiscore = item("Reset Hiscores", Qt::Key_unknown, &TSplashForm::PM_8HiscoreClick);
    // The last game, once there is one; watched only while no game is under way.
    PM_Watch = item(kWatchItem, Qt::Key_unknown, &TSplashForm::PM_WatchClick);
    PM_Save = item(kSaveItem, Qt::Key_unknown, &TSplashForm::PM_SaveClick);
    PM_Watch->setVisible(false);
    PM_Save->setVisible(false);
    connect(PM_Menu, &QMenu::aboutToShow, this,
            [this] { PM_Watch->setEnabled(!game_.gameUnderWay()); });
    PM_Menu->addSeparator();
    PM_Unlit = item(kUnlitItem, Qt::Key_unknown, &TSplashForm::PM_UnlitClick);
    PM_Unlit->setCheckable(true);
    PM_Menu->addSeparator();
    PM_10Exit = item("E&xit", Qt::Key_Escape, &TSplashForm::PM_10ExitClick);

    // The shortcuts act while the game window has the keyboard.
    game_.addActions(PM_Menu->actions());
    game_.setContextMenu(PM_Menu);
}

void TSplashForm::showAtStart() {
    // A compositor that places windows itself usually centres a dialog like this one.
    if (windowsPlaceThemselves()) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        move(screen.left() + (screen.width() - width()) / 2,
             screen.top() + (screen.height() - height()) / 2);
    }
    show();
    raise();
    activateWindow();
}

void TSplashForm::FormCreate() {
    try {
        CB_Sound->setCurrentIndex(readSoundChoice(store_));
        if (CB_Sound->currentIndex() < 0) Puls_Play->setEnabled(false);
    } catch (const StoreError& e) {
        game_.showErrorLater(e.what());
    }
    // The look of the face: a value of another type is as good as none.
    bool unlit = false;
    try {
        unlit = store_.ReadInteger("", kUnlitSegmentsValue, 0) == 1;
    } catch (const StoreError&) {
    }
    PM_Unlit->setChecked(unlit);
    game_.setLook(unlit ? Look::UnlitFaint : Look::LitOnly);
}

void TSplashForm::setLastGame(const Recording& game) {
    lastGame_ = game;
    PM_Watch->setVisible(true);
    PM_Save->setVisible(true);
}

void TSplashForm::CB_SoundChange() {
    if (CB_Sound->currentIndex() >= 0) Puls_Play->setEnabled(true);
}

void TSplashForm::writeSoundMode(int mode) {
    // A store that cannot be written shows its error and play goes on.
    try {
        writeSoundChoice(store_, mode);
    } catch (const StoreError& e) {
        game_.showStoreError(QString::fromStdString(e.what()));
    }
}

void TSplashForm::Puls_PlayClick() {
    // Play acts once. A double-click, or clicks queued while the cues load, arrive
    // after it has begun (or when it has ended the program): they do nothing.
    if (played_) return;
    played_ = true;

    const QString text = CB_Sound->currentText();
    int mode = kNoSoundChoice;
    for (int i = 0; i < kSoundChoiceCount; ++i) {
        if (text == QLatin1String(kSoundChoices[i].text)) mode = i;
    }
    if (mode >= 0) writeSoundMode(mode);
    if (mode >= 0 && kSoundChoices[mode].output != 0 && !startSound(mode)) {
        errorBox(QStringLiteral("Error"), soundFailureText);
        writeSoundMode(kNoSoundChoice);
        terminate();
        return;
    }
    game_.showCentred();
    hide();
    if (onPlay) onPlay();
}

void TSplashForm::openLocal(const char* file) {
    openUrl(QUrl::fromLocalFile(QDir::current().absoluteFilePath(QString::fromLatin1(file))));
}

void TSplashForm::La_EmailClick() {
    openUrl(QUrl(QString::fromLatin1(kEmailLink)));
}

void TSplashForm::La_HttpClick() {
    openUrl(QUrl(QString::fromLatin1(kHttpLink)));
}

void TSplashForm::PM_1AboutClick() {
    about_.show();
    about_.raise();
    about_.activateWindow();
}

void TSplashForm::PM_3ReadmeClick() {
    openLocal("readme.txt");
}

void TSplashForm::PM_4WhatsnewClick() {
    openLocal("whatsnew.txt");
}

void TSplashForm::PM_6InstructClick() {
    openLocal("Manual.EXE");
}

void TSplashForm::PM_8HiscoreClick() {
    game_.handle([this] { game_.handheld().resetHiscores(); });
}

void TSplashForm::PM_WatchClick() {
    if (lastGame_ && !game_.gameUnderWay()) game_.watch(*lastGame_);
}

void TSplashForm::PM_SaveClick() {
    if (!lastGame_) return;
    QString path = chooseSaveFile();
    if (path.isEmpty()) return;
    if (!path.endsWith(QLatin1String(kGameFileEnding))) path += QLatin1String(kGameFileEnding);
    if (!replaceFile(FileOps::posix(), recordingText(*lastGame_), path.toStdString(), 0644))
        errorBox(QString::fromLatin1(kApplicationTitle),
                 QStringLiteral("The game could not be saved as:\n\n") + path);
}

void TSplashForm::PM_UnlitClick() {
    const bool unlit = PM_Unlit->isChecked();
    game_.setLook(unlit ? Look::UnlitFaint : Look::LitOnly);
    try {
        store_.WriteInteger("", kUnlitSegmentsValue, unlit ? 1 : 0);
    } catch (const StoreError& e) {
        game_.showStoreError(QString::fromStdString(e.what()));
    }
}

void TSplashForm::PM_10ExitClick() {
    game_.close();
}

void TSplashForm::closeEvent(QCloseEvent* event) {
    // Closed by the window manager before play: the same as Exit.
    event->accept();
    if (!played_)
        QMetaObject::invokeMethod(
            &game_, [this] { game_.close(); }, Qt::QueuedConnection);
}

}  // namespace fw
