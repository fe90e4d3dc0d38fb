#pragma once
// Proportional layout: a window records where its controls are (Init) and,
// whenever it is resized, moves and sizes them in proportion to the window's
// size at that moment (FormResize). Sizes are twips, 1440 per inch at the
// window's logical dpi.
//
// Which widgets count as the window's controls: every descendant reached
// through plain containers (QWidget, QFrame, QGroupBox), in creation order,
// except widgets a Qt layout manages (the layout already places them), other
// windows (menus, dialogs), the window's menu, tool and status bars and Qt's
// own helpers (object names "qt_..."). A window using this should therefore
// place its controls by position, not in layouts.

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

namespace bc::windows {

inline constexpr double kTwipsPerInch = 1440.0;
// The window's caption and frame, left out of the vertical ratio only.
inline constexpr double kCaptionTwips = 400.0;

double Pixels_To_Twips(const QWidget* widget, double pixels, Qt::Orientation along);
int Twips_To_Pixels(const QWidget* widget, double twips, Qt::Orientation along);

// The window's outer height as the layout sees it: the client height plus
// the caption allowance. Qt knows the real frame only once a window manager
// has shown the window, so a fixed allowance keeps the ratio the same before
// and after showing, and makes it exactly the ratio of the client heights.
// A main window's menu bar counts as frame too: its controls live below it.
double Window_Height_Twips(const QWidget* window);
int Menu_Bar_Height(const QWidget* window); // pixels; 0 without one
double Window_Width_Twips(const QWidget* window);

// The layout records are 16-bit. A value out of range saturates at the
// nearest end instead of wrapping, so an oversized window or control can
// never come back negative (mirrored); rounding takes halves to the even
// number. NaN stores 0.
std::int16_t To_Int16(double value);

// Int(f) + (R(f) mod 2), R rounding halves to the even number and the
// remainder keeping R's sign: 8 -> 8, 10 -> 10, 9.4 -> 10, 9.6 -> 9.
int Elastic_Font_Size(double f);

// What Init records for one control.
struct Elastic_Record
{
    bool Is_Line = false; // end points instead of position and size
    std::int16_t Top_Or_Y1 = 0;
    std::int16_t Left_Or_X1 = 0;
    std::int16_t Height_Or_Y2 = 0;
    std::int16_t Width_Or_X2 = 0;
    std::int16_t Font_Size = 0;
    std::int16_t Right_Margin = 0;
};

// New values for one control; an empty one could not be computed (division
// by zero, out of range) and the control keeps what it has.
struct Elastic_Placement
{
    std::optional<int> Top_Or_Y1;
    std::optional<int> Left_Or_X1;
    std::optional<int> Height_Or_Y2;
    std::optional<int> Width_Or_X2;
    std::optional<int> Font_Size;
    std::optional<int> Right_Margin;
};

struct Elastic_Layout
{
    // The window's size after the half-size minimum (twips, caption included).
    double Height = 0;
    double Width = 0;
    std::optional<double> rY;
    std::optional<double> rX;
    std::vector<Elastic_Placement> Controls;
};

// The arithmetic of one resize, without any widget: a window recorded at
// initialHeight x initialWidth and now height x width.
Elastic_Layout Compute_Elastic_Layout(std::int16_t initialHeight, std::int16_t initialWidth, double height,
                                      double width, const std::vector<Elastic_Record>& controls);

class class_Elastic
{
public:
    // Records the window's size and its controls. The next FormResize is
    // skipped, so a window that calls Init before showing itself ignores the
    // resize of its showing. With fullScreen, or when the window is
    // maximized, the window is then sized to the screen.
    void Init(QWidget* window, bool fullScreen = false);
    // Lays the controls out for the window's current size; call it from the
    // window's resize event. Does nothing before Init.
    void FormResize(QWidget* window);

    std::int16_t Initial_Height() const { return Initial_Height_; }
    std::int16_t Initial_Width() const { return Initial_Width_; }
    const std::vector<Elastic_Record>& Records() const { return Records_; }
    std::vector<QWidget*> Controls() const;

private:
    std::int16_t Initial_Height_ = 0;
    std::int16_t Initial_Width_ = 0;
    std::vector<Elastic_Record> Records_;
    std::vector<QPointer<QWidget>> Controls_;
    bool Initialized_ = false;
    bool Skip_Next_Resize_ = false;
    bool In_Resize_ = false;
};

} // namespace bc::windows
