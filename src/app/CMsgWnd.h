#pragma once
// The message box: a small modal window from the layout "XML_MSG" with a title, a text (plain or
// by language key) and the buttons "confirm_btn" (result 1) and "cancel_btn" (result 0); the
// caption button "closebtn" also gives 0.
//
// Button modes: 0 shows only "confirm_btn", 1 shows both, any other value keeps the layout's.
#include "ui/CSkinWindow.h"

namespace nq::app {

class CMsgWnd : public ui::CSkinWindow {
    Q_OBJECT
public:
    explicit CMsgWnd(QWidget* owner = nullptr);

    // Shows the box modally over parent and returns 1 (confirmed) or 0 (cancelled or closed).
    // An empty title keeps the layout's title; an empty text keeps the layout's text.
    static int ShowMessage(QWidget* parent, const QString& title, const QString& text, int dpi = 96,
                           bool textIsKey = true, int buttonMode = 0);
    // The translation of key through the hidden label "text_test" of window, for texts that are
    // formatted before they are shown; key itself when the window has no such label.
    static QString TranslatedPattern(QWidget* window, const QString& key);

    bool Create();
    void SetTitle(const QString& title);
    void SetMessage(const QString& text, bool textIsKey);
    void SetButtonMode(int mode);
    // Holds dpi when it is one of 48, 72, 96, 120, 144, 168, 192, else traces
    // "MSG_WND DPI SET ERROR" and holds 96; the held value is applied to every skin window.
    void ApplyDpi(int dpi);
    static bool IsAcceptedDpi(int dpi);

    void Notify(const ui::TNotify& msg) override;

protected:
    // Return or Enter presses "confirm_btn"; Escape closes like "closebtn".
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace nq::app
