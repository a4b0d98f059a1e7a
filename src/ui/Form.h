#pragma once
// Our thin form layer over Win32: top-level forms created hidden and kept for the process's life,
// shown modally (returning a modal result) or without modality, with controls created from a
// declarative layout table at exact client-pixel bounds. The tables are in 96-DPI pixels; the form
// scales everything it makes (window, controls, fonts, list columns, pictures) to the DPI of the
// monitor it shows on, and lays itself out again when Windows moves it to one with another DPI.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/Scaling.h"

// Modal results shared by every page.
enum ModalResult : int { mrNone = 0, mrNext = 1, mrCancel = 2, mrBack = 4 };

// Pictures are painted by the form itself (like drawn shapes), the rest are windows. A group box is
// painted by the form too, under a group box window that screen readers find it by.
enum class ControlKind { Picture, Label, Button, Edit, CheckBox, GroupBox, ListView, ProgressBar };

// Options of a control in a layout table.
enum ControlOption : unsigned {
    coNone = 0,
    coDefault = 1 << 0,    // pressed by Enter
    coCancel = 1 << 1,     // pressed by Esc
    coDisabled = 1 << 2,
    coHidden = 1 << 3,
    coWordWrap = 1 << 4,   // labels: wrap at the right edge (otherwise one clipped line)
    coTitle = 1 << 5,      // the page title style: Verdana 13 px bold, green
    coBold = 1 << 6,       // body font in bold
    coWhite = 1 << 7,      // opaque white background instead of the page picture (lists: white)
    coBorder = 1 << 8,     // list views: a sunken border
    coNoHeader = 1 << 9,   // list views: no column headers
};

struct ControlLayout {
    HWND* window;          // receives the control's window; null for shapes the form paints itself
    const char* name;
    ControlKind kind;
    int left, top, width, height;  // client pixels at 96 DPI
    const char* caption;
    int tabOrder;          // position in the Tab sequence; -1 when Tab never stops there
    unsigned options;      // ControlOption bits
    const char* groupBox = nullptr;  // name of the group box the control sits on; bounds are inside it
    // Labels: the control this label names for screen readers, which take an edit box's or a list's
    // name from the label right before it in the z-order (see ControlOrder.h). A label or a group box
    // that names a list gives it its caption as the list's own text.
    const char* names = nullptr;
};

enum class FormBorder { Dialog, DialogNoButtons, Main };

// A list view column; the width is in 96-DPI pixels.
struct ListColumn {
    const char* caption;
    int width;
    int format;  // LVCFMT_LEFT, LVCFMT_RIGHT
};

struct FormLayout {
    const char* className;
    FormBorder border;
    int clientWidth, clientHeight;
    bool centerOnFirstShow;
};

class TForm {
public:
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    // Creates the window hidden, then its controls, then runs FormCreate. False when Windows refused.
    bool Create();
    void Destroy();

    // Shows the form and waits until it closes; returns the modal result (mrCancel when the
    // application is terminating).
    int ShowModal();
    // Shows the form without modality and returns at once.
    void Show();
    void Hide();
    // A modal form closes with mrCancel; the main form ends the application; others hide.
    void Close();

    int GetModalResult() const { return modalResult; }
    // Setting a result asks a modal form to close (after FormCloseQuery allows it).
    void SetModalResult(int result) { modalResult = result; }

    int Left() const;
    int Top() const;
    void SetLeft(int left);
    void SetTop(int top);
    // Places the window in the middle of the desktop's work area.
    void CenterOnWorkArea();

    HWND Handle() const { return hwnd; }
    bool Visible() const;
    // The DPI the form is laid out for (96 until it is shown on a scaled display).
    int CurrentDpi() const { return dpi; }

    // Keyboard handling for this form's controls (Enter, Esc, Tab, access keys); true when handled.
    bool PreTranslateMessage(MSG& msg);
    // Everything the form paints (picture, group boxes) as one brush, made when first needed: a control
    // that shows the form under it fills with it, aligned to where it sits.
    HBRUSH BackgroundBrush();
    // The form that owns a window (the window itself or one of its ancestors), or null.
    static TForm* FromWindow(HWND window);

protected:
    explicit TForm(const FormLayout& layout);

    // Controls in declaration order; called once by Create.
    virtual std::vector<ControlLayout> Layout() = 0;

    virtual void FormCreate() {}
    virtual void FormShow() {}
    // Called before a modal form closes; false keeps it open (its result is then cleared).
    virtual bool FormCloseQuery() { return true; }
    // Called after every permitted close of a modal form.
    virtual void FormClose() {}
    virtual void FormDestroy() {}
    // A button was clicked (or another command came from a control).
    virtual void ControlCommand(HWND /*control*/, WORD /*code*/) {}
    // The control that has the focus when the form is first shown: the first tab stop unless the
    // form names another.
    virtual HWND InitialFocus() const { return FirstTabStop(); }
    virtual LRESULT ControlNotify(NMHDR* /*header*/) { return 0; }

    // A message box owned by this form.
    int Ask(const char* text, const char* caption, UINT style);

    // Gives a list view of this form its columns, scaled now and again whenever the DPI changes.
    void SetListColumns(HWND list, const std::vector<ListColumn>& columns);
    // Gives a list view of this form the pictures of a 16 x 16 bitmap strip resource as its small
    // images, scaled likewise. The form owns the image list.
    void SetListPictures(HWND list, int bitmapId);

    // Text helpers for the form's own controls.
    static std::string GetText(HWND control);
    static void SetText(HWND control, const std::string& text);
    HWND FirstTabStop() const;

    HWND hwnd = nullptr;

private:
    // The window's life and its loop (Form.cpp).
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ShowWindowNow();
    void HideWindowNow();
    // The controls and their order (FormControls.cpp).
    bool CreateControls();
    void ArrangeForScreenReaders();
    void ClipGroupBoxes();
    const ControlLayout* LayoutOf(HWND control) const;
    const ControlLayout* LayoutNamed(const char* name) const;
    // Painting and colours (FormPainting.cpp).
    HBRUSH ControlColor(HDC dc, HWND control);
    void PaintBackground(HDC dc);
    void DropPaintedBackground();
    void ApplyColors();
    // `colours`: the system colours changed; else some setting did, perhaps high contrast.
    void SystemColorsChanged(bool colours);
    // The keyboard (FormKeyboard.cpp).
    void PressButton(HWND button);
    // Scaling (FormScaling.cpp).
    SIZE FrameSize() const;
    ScaledBounds BoundsOf(const ControlLayout& control) const;
    void PlaceControls();
    void ApplyDpi(int newDpi, const RECT* suggested);
    void ScaleLists();

    struct ListColumns {
        HWND list;
        std::vector<int> widths;
    };
    struct ListPictures {
        HWND list;
        int bitmapId;
        HIMAGELIST images;
    };

    FormLayout formLayout;
    std::vector<ControlLayout> controls;
    HWND defaultButton = nullptr;
    HWND cancelButton = nullptr;
    HWND lastFocus = nullptr;
    HBITMAP backgroundBitmap = nullptr;
    HBRUSH backgroundBrush = nullptr;
    std::vector<ListColumns> listColumns;
    std::vector<ListPictures> listPictures;
    int dpi = 96;
    bool highContrast = false;  // what the form is painted for; see Look::HighContrast
    int modalResult = mrNone;
    bool shownBefore = false;
    bool inModalLoop = false;
};

// The main form is the first one created: closing it ends the application.
TForm* MainForm();

// Creates the form's windows; when Windows refuses them, tells the user so and returns false.
bool CreateOrReport(TForm& form);

// Makes `form` a new Form with its windows (see CreateOrReport). The caller owns the form either way
// (Destroy, then delete).
template <typename Form>
bool CreateForm(Form*& form) {
    form = new Form;
    return CreateOrReport(*form);
}
