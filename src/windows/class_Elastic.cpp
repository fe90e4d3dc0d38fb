#include "windows/class_Elastic.h"

#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSizeGrip>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>

#include <algorithm>
#include <cmath>
#include <limits>

namespace bc::windows {
namespace {

// Larger results are treated as failed writes: no control is that big, and
// the pixel conversion must stay within int.
constexpr double kLargest = 1.0e8;
// The largest font size a control is given; anything above (a window made
// thousands of times wider than it was laid out) is skipped.
constexpr int kLargestFont = 2160;

double Dpi(const QWidget* widget, Qt::Orientation along)
{
    const int dpi = along == Qt::Horizontal ? widget->logicalDpiX() : widget->logicalDpiY();
    return dpi > 0 ? dpi : 96.0;
}

std::optional<double> Divide(double numerator, double denominator)
{
    if (denominator == 0.0)
        return std::nullopt;
    const double q = numerator / denominator;
    if (!std::isfinite(q))
        return std::nullopt;
    return q;
}

// Int(value / ratio), or nothing when that cannot be computed.
std::optional<int> Scaled(double value, const std::optional<double>& ratio)
{
    if (!ratio)
        return std::nullopt;
    const std::optional<double> q = Divide(value, *ratio);
    if (!q || std::fabs(*q) > kLargest)
        return std::nullopt;
    return static_cast<int>(std::floor(*q));
}

std::optional<int> Scaled_Font(double fontSize, const std::optional<double>& rX)
{
    if (!rX)
        return std::nullopt;
    const std::optional<double> f = Divide(fontSize, *rX);
    if (!f || std::fabs(*f) > kLargest)
        return std::nullopt;
    return Elastic_Font_Size(*f);
}

bool Is_Plain_Container(const QWidget* w)
{
    const QMetaObject* meta = w->metaObject();
    return meta == &QWidget::staticMetaObject || meta == &QFrame::staticMetaObject ||
           meta == &QGroupBox::staticMetaObject;
}

bool Is_Window_Chrome(QWidget* w)
{
    return qobject_cast<QMenuBar*>(w) || qobject_cast<QStatusBar*>(w) || qobject_cast<QToolBar*>(w) ||
           qobject_cast<QSizeGrip*>(w);
}

bool In_Layout(const QLayout* layout, const QWidget* w)
{
    if (!layout)
        return false;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == w || In_Layout(item->layout(), w))
            return true;
    }
    return false;
}

void Collect_Controls(QWidget* container, std::vector<QPointer<QWidget>>& out)
{
    for (QObject* child : container->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow() || Is_Window_Chrome(w) || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        if (!In_Layout(container->layout(), w))
            out.emplace_back(w);
        if (Is_Plain_Container(w))
            Collect_Controls(w, out);
    }
}

// A text box that wraps at a fixed width has a right margin; nothing else does.
QTextEdit* With_Right_Margin(QWidget* w)
{
    auto* edit = qobject_cast<QTextEdit*>(w);
    return edit && edit->lineWrapMode() == QTextEdit::FixedPixelWidth ? edit : nullptr;
}

} // namespace

double Pixels_To_Twips(const QWidget* widget, double pixels, Qt::Orientation along)
{
    return pixels * kTwipsPerInch / Dpi(widget, along);
}

int Twips_To_Pixels(const QWidget* widget, double twips, Qt::Orientation along)
{
    const double px = std::nearbyint(twips * Dpi(widget, along) / kTwipsPerInch);
    return static_cast<int>(std::clamp(px, double(std::numeric_limits<int>::min() / 2),
                                       double(std::numeric_limits<int>::max() / 2)));
}

int Menu_Bar_Height(const QWidget* window)
{
    const auto* main = qobject_cast<const QMainWindow*>(window);
    const QWidget* bar = main ? main->menuWidget() : nullptr;
    if (!bar)
        return 0;
    if (const auto* menuBar = qobject_cast<const QMenuBar*>(bar); menuBar && menuBar->isNativeMenuBar())
        return 0;
    // Before the window is first shown its layout has not placed the bar yet.
    return window->isVisible() ? bar->height() : bar->sizeHint().height();
}

double Window_Height_Twips(const QWidget* window)
{
    return Pixels_To_Twips(window, window->height() - Menu_Bar_Height(window), Qt::Vertical) + kCaptionTwips;
}

double Window_Width_Twips(const QWidget* window)
{
    return Pixels_To_Twips(window, window->width(), Qt::Horizontal);
}

std::int16_t To_Int16(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = std::nearbyint(std::clamp(value, -32768.0, 32767.0));
    return static_cast<std::int16_t>(r);
}

int Elastic_Font_Size(double f)
{
    if (std::isnan(f))
        return 0;
    f = std::clamp(f, -kLargest, kLargest);
    const auto whole = static_cast<long long>(std::floor(f));
    const auto nearest = static_cast<long long>(std::nearbyint(f)); // halves to even
    const long long size = whole + nearest % 2;
    return static_cast<int>(
        std::clamp<long long>(size, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

Elastic_Layout Compute_Elastic_Layout(std::int16_t initialHeight, std::int16_t initialWidth, double height,
                                      double width, const std::vector<Elastic_Record>& controls)
{
    Elastic_Layout out;
    out.Height = std::max(height, initialHeight / 2.0);
    out.Width = std::max(width, initialWidth / 2.0);
    // A ratio of 0 fails every division below, like one that could not be
    // computed at all.
    out.rY = Divide(initialHeight - kCaptionTwips, out.Height - kCaptionTwips);
    if (out.rY && *out.rY == 0.0)
        out.rY.reset();
    out.rX = Divide(initialWidth, out.Width);
    if (out.rX && *out.rX == 0.0)
        out.rX.reset();

    out.Controls.reserve(controls.size());
    for (const Elastic_Record& c : controls) {
        Elastic_Placement p;
        p.Top_Or_Y1 = Scaled(c.Top_Or_Y1, out.rY);
        p.Left_Or_X1 = Scaled(c.Left_Or_X1, out.rX);
        p.Height_Or_Y2 = Scaled(c.Height_Or_Y2, out.rY);
        p.Width_Or_X2 = Scaled(c.Width_Or_X2, out.rX);
        if (!c.Is_Line) {
            p.Font_Size = Scaled_Font(c.Font_Size, out.rX);
            p.Right_Margin = Scaled(c.Right_Margin, out.rY);
        }
        out.Controls.push_back(p);
    }
    return out;
}

void class_Elastic::Init(QWidget* window, bool fullScreen)
{
    Initial_Height_ = 0;
    Initial_Width_ = 0;
    Records_.clear();
    Controls_.clear();
    Initialized_ = false;
    if (!window)
        return;
    Initialized_ = true;
    Initial_Height_ = To_Int16(Window_Height_Twips(window));
    Initial_Width_ = To_Int16(Window_Width_Twips(window));
    Skip_Next_Resize_ = true;

    Collect_Controls(window, Controls_);
    // A font given in pixels has no point size: its entry stays 0 and the
    // controls' fonts are left alone.
    const double windowFont = std::max(0.0, window->font().pointSizeF());
    Records_.reserve(Controls_.size());
    for (const QPointer<QWidget>& w : Controls_) {
        Elastic_Record r;
        const QRect g = w->geometry();
        r.Top_Or_Y1 = To_Int16(Pixels_To_Twips(w, g.y(), Qt::Vertical));
        r.Left_Or_X1 = To_Int16(Pixels_To_Twips(w, g.x(), Qt::Horizontal));
        r.Height_Or_Y2 = To_Int16(Pixels_To_Twips(w, g.height(), Qt::Vertical));
        r.Width_Or_X2 = To_Int16(Pixels_To_Twips(w, g.width(), Qt::Horizontal));
        r.Font_Size = To_Int16(windowFont);
        if (QTextEdit* edit = With_Right_Margin(w))
            r.Right_Margin = To_Int16(Pixels_To_Twips(w, edit->lineWrapColumnOrWidth(), Qt::Horizontal));
        Records_.push_back(r);
    }

    if (window->isMaximized() || fullScreen) {
        if (const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen()) {
            const QSize s = screen->size();
            window->resize(s.width(),
                           std::max(0, s.height() - Twips_To_Pixels(window, kCaptionTwips, Qt::Vertical)));
        }
    }
    Skip_Next_Resize_ = true;
}

void class_Elastic::FormResize(QWidget* window)
{
    // Qt always draws from a backing store, so there is no drawing mode to
    // switch for the duration.
    if (!window || In_Resize_)
        return;
    if (Skip_Next_Resize_) {
        Skip_Next_Resize_ = false;
        return;
    }
    if (!Initialized_)
        return;

    const double height = Window_Height_Twips(window);
    const double width = Window_Width_Twips(window);
    const Elastic_Layout layout =
        Compute_Elastic_Layout(Initial_Height_, Initial_Width_, height, width, Records_);

    In_Resize_ = true;
    if (layout.Height != height || layout.Width != width) {
        // Snap back to half the first size; the controls are laid out for
        // that size below, whether or not the window manager obliges.
        window->resize(Twips_To_Pixels(window, layout.Width, Qt::Horizontal),
                       Twips_To_Pixels(window, layout.Height - kCaptionTwips, Qt::Vertical) +
                           Menu_Bar_Height(window));
    }
    for (std::size_t i = 0; i < Controls_.size() && i < layout.Controls.size(); ++i) {
        QWidget* w = Controls_[i];
        if (!w)
            continue; // destroyed since Init
        const Elastic_Placement& p = layout.Controls[i];
        QRect g = w->geometry();
        const int top = p.Top_Or_Y1 ? Twips_To_Pixels(w, *p.Top_Or_Y1, Qt::Vertical) : g.y();
        const int left = p.Left_Or_X1 ? Twips_To_Pixels(w, *p.Left_Or_X1, Qt::Horizontal) : g.x();
        const int h = p.Height_Or_Y2 ? Twips_To_Pixels(w, *p.Height_Or_Y2, Qt::Vertical) : g.height();
        const int wd = p.Width_Or_X2 ? Twips_To_Pixels(w, *p.Width_Or_X2, Qt::Horizontal) : g.width();
        w->setGeometry(left, top, std::max(0, wd), std::max(0, h));
        if (p.Font_Size && *p.Font_Size > 0 && *p.Font_Size <= kLargestFont && Records_[i].Font_Size > 0) {
            QFont font = w->font();
            if (font.pointSize() != *p.Font_Size) {
                font.setPointSize(*p.Font_Size);
                w->setFont(font);
            }
        }
        if (QTextEdit* edit = With_Right_Margin(w); edit && p.Right_Margin)
            edit->setLineWrapColumnOrWidth(std::max(0, Twips_To_Pixels(w, *p.Right_Margin, Qt::Horizontal)));
    }
    In_Resize_ = false;
}

std::vector<QWidget*> class_Elastic::Controls() const
{
    std::vector<QWidget*> out;
    out.reserve(Controls_.size());
    for (const QPointer<QWidget>& w : Controls_)
        out.push_back(w.data());
    return out;
}

} // namespace bc::windows
