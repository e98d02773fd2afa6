// The launcher: picks the sound output (its choices are the host layer's,
// program_facts.h), starts play, and owns the game window's right-click menu.
#pragma once

#include <QUrl>
#include <QWidget>
#include <functional>
#include <optional>

#include "interfaces.h"
#include "recording.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;

namespace fw {

class TForm1;
class TAboutForm;

inline constexpr const char* kHttpLink = "http://www.morvane.example/";
inline constexpr const char* kEmailLink = "mailto:fenwater@morvane.example";

class TSplashForm : public QWidget {
    Q_OBJECT
  public:
    TSplashForm(SettingsStore& store, TForm1& game, TAboutForm& about, QWidget* parent = nullptr);

    // --- What the launcher asks of the rest of the program --------------------------
    // Starts the sound library for the item of this "SoundMode" (one with an output)
    // and loads the cues; true when the catch cue loaded.
    std::function<bool(int soundMode)> startSound;
    // Opens a file or an address with its default handler; the result is not looked at.
    std::function<void(const QUrl&)> openUrl;
    // Shows a modal error box with the given caption.
    std::function<void(const QString& caption, const QString& text)> errorBox;
    // Ends the program at once (the catch cue did not load).
    std::function<void()> terminate;
    // The text of the error box shown when the catch cue did not load.
    QString soundFailureText;
    // Runs once Play has shown the game window.
    std::function<void()> onPlay;
    // Asks where to save a game; empty when the player cancels. Replaceable for tests.
    std::function<QString()> chooseSaveFile;

    // The last game played, which the menu can play again and save.
    void setLastGame(const Recording& game);
    const std::optional<Recording>& lastGame() const { return lastGame_; }

    // --- Handlers ---------------------------------------------------------------------
    void FormCreate();
    void CB_SoundChange();
    void Puls_PlayClick();
    void La_EmailClick();
    void La_HttpClick();
    void PM_1AboutClick();
    void PM_3ReadmeClick();
    void PM_4WhatsnewClick();
    void PM_6InstructClick();
    void PM_8HiscoreClick();
    void PM_WatchClick();
    void PM_SaveClick();
    void PM_UnlitClick();
    void PM_10ExitClick();

    // Shows the launcher centred on the screen and brings it to the front.
    void showAtStart();
    // Play has run: it acts once, and every later click does nothing.
    bool played() const { return played_; }

    // --- Components -------------------------------------------------------------------
    QLabel* Im_Piccina = nullptr;
    QLabel* La_Title = nullptr;
    QLabel* La_Version = nullptr;
    QLabel* La_Http = nullptr;
    QLabel* La_Email = nullptr;
    QLabel* La_Sound = nullptr;
    QComboBox* CB_Sound = nullptr;
    QPushButton* Puls_Play = nullptr;
    QMenu* PM_Menu = nullptr;
    QAction* PM_1About = nullptr;
    QAction* PM_3Readme = nullptr;
    QAction* PM_4Whatsnew = nullptr;
    QAction* PM_6Instruct = nullptr;
    QAction* PM_8Hiscore = nullptr;
    QAction* PM_Watch = nullptr;
    QAction* PM_Save = nullptr;
    QAction* PM_Unlit = nullptr;
    QAction* PM_10Exit = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenu();
    void openLocal(const char* file);
    void writeSoundMode(int mode);

    SettingsStore& store_;
    TForm1& game_;
    TAboutForm& about_;
    bool played_ = false;
    std::optional<Recording> lastGame_;
};

}  // namespace fw
