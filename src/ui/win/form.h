#pragma once
// Top-level windows. A form is created hidden, shown with Show or ShowModal;
// a modal form runs its own message loop until a modal result is set.
// Enter presses the default button, Esc the cancel button (or closes a
// modal form with result 2), Tab moves between controls, F1 opens the help
// topic of the focused control (HelpContextOf), Shift+F10 and the menu key
// open the popup menu of the focused control (or of its nearest parent that
// has one). Windowless controls that act take part: Tab reaches them in
// creation order with the windowed ones, the arrows move between them, and
// Enter or Space acts on the one that has the keyboard. A form reactivated
// gives the keyboard back to the control that had it.
//
// The forms keep the list of the program's windows: all of them, the active
// one and the main one. The application object reads it from here.
#include <functional>
#include <vector>

#include "ui/win/control.h"

enum class BorderStyle { Sizeable, Dialog, Single, None };

inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

class Form;

// The form a control is on; null for a control not (yet) on one.
Form* OwnerForm(Control* control);

class Form : public WinControl, public HintHost {
public:
    explicit Form(BorderStyle style = BorderStyle::Sizeable);
    ~Form() override;

    void SetCaption(const std::wstring& caption) { SetText(caption); }
    // The client area in 96-DPI units (the window grows by its frame).
    void SetClientSize(int width, int height);
    int ClientWidth() const;
    int ClientHeight() const;
    // Centres the window on the monitor's work area.
    void CenterOnScreen();

    void Show();
    void Hide();
    // Closing: OnCloseQuery may refuse; a modal form gets result 2 unless one
    // is set; the main form ends the message loop.
    void Close();
    int ShowModal();
    bool IsModal() const { return modal_; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }

    // The buttons that Enter and Esc press (Button::SetDefault, SetCancel).
    Control* DefaultButton() const { return defaultButton_; }
    void SetDefaultButton(Control* b) { defaultButton_ = b; }
    Control* CancelButton() const { return cancelButton_; }
    void SetCancelButton(Control* b) { cancelButton_ = b; }
    // Menus whose item shortcuts work while this form is active.
    void AddShortcutMenu(ContextMenu* menu) { shortcutMenus_.push_back(menu); }

    Event OnShow;
    Event OnActivate;
    Event OnClose;
    std::function<bool()> OnCloseQuery;

    // Keyboard handling before dispatch; true when the message was used.
    bool PreTranslate(MSG& msg) override;

    // The controls Tab reaches, in its order: windowed tab stops and
    // windowless controls that act, shown and enabled, depth first in
    // creation order.
    std::vector<Control*> TabOrder();
    // The control that has the keyboard: a windowless one, a windowed one,
    // or null when it is elsewhere (or with the form itself).
    Control* KeyboardControl();
    // Gives the keyboard to a control of the form (windowed or windowless).
    void FocusControl(Control* control);

    // Tooltips of the form's controls.
    void UpdateHintTool(Control* c) override;
    void RemoveHintTool(Control* c) override;

    // Every form, in creation order; the one activated last; the main form,
    // whose closing ends the message loop.
    static const std::vector<Form*>& All();
    static Form* Active();
    static Form* Main();
    static void SetMain(Form* f);
    // Whether controls show their hints (on by default).
    static bool HintsShown();
    static void ShowHints(bool v);
    // Called whenever a form becomes active (the application object's
    // OnActiveFormChange).
    static void SetActivationListener(std::function<void(Form*)> listener);
    // The keyboard handling of the form a message is meant for.
    static bool PreTranslateMessage(MSG& msg);

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void UseStandardColors() override { SetColor(clBtnFace); }

protected:
    void BoundsChanged() override;
    void VisibilityChanged() override;

private:
    HWND Tooltip();
    // The layer's control of a window of this form (or of its nearest parent
    // window that is one); the form itself otherwise.
    Control* ControlOf(HWND hwnd);
    bool HandleKeys(MSG& msg);
    // Tab (forward) or Shift+Tab among TabOrder.
    void MoveFocus(bool forward);
    bool PopupByKeyboard();
    BorderStyle style_;
    bool modal_ = false;
    bool shown_ = false;
    int modalResult_ = mrNone;
    Control* defaultButton_ = nullptr;
    Control* cancelButton_ = nullptr;
    std::vector<ContextMenu*> shortcutMenus_;
    HWND tooltip_ = nullptr;
    HWND lastFocus_ = nullptr;  // while the form is inactive
};
