// Proportional layout: the resize arithmetic with its rounding, minimum and
// failure rules, which widgets are laid out, and real windows resized on the
// offscreen platform.

#include "windows/class_Elastic.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <cmath>
#include <limits>

using namespace bc::windows;

namespace {

Elastic_Record Control(int top, int left, int height, int width, int fontSize = 8)
{
    Elastic_Record r;
    r.Top_Or_Y1 = static_cast<std::int16_t>(top);
    r.Left_Or_X1 = static_cast<std::int16_t>(left);
    r.Height_Or_Y2 = static_cast<std::int16_t>(height);
    r.Width_Or_X2 = static_cast<std::int16_t>(width);
    r.Font_Size = static_cast<std::int16_t>(fontSize);
    return r;
}

// A window that lays itself out on every resize, as the program's windows do.
class Elastic_Window : public QWidget
{
public:
    Elastic_Window()
    {
        resize(400, 300);
        box = new QTextEdit(this);
        box->setObjectName(QStringLiteral("Box"));
        box->setGeometry(60, 60, 120, 90);
        button = new QPushButton(QStringLiteral("Go"), this);
        button->setObjectName(QStringLiteral("Go"));
        button->setGeometry(300, 240, 80, 30);
        QFont f = font();
        f.setPointSize(8);
        setFont(f);
    }
    void resizeEvent(QResizeEvent* e) override
    {
        QWidget::resizeEvent(e);
        elastic.FormResize(this);
    }
    class_Elastic elastic;
    QTextEdit* box;
    QPushButton* button;
};

QRect Twips_Rect(const QWidget* w, double left, double top, double width, double height)
{
    return QRect(Twips_To_Pixels(w, left, Qt::Horizontal), Twips_To_Pixels(w, top, Qt::Vertical),
                 Twips_To_Pixels(w, width, Qt::Horizontal), Twips_To_Pixels(w, height, Qt::Vertical));
}

} // namespace

class Test_Class_Elastic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void halving_the_window_halves_every_control_and_line()
    {
        // A line keeps its end points in proportion and gets no font.
        Elastic_Record line = Control(100, 200, 300, 400);
        line.Is_Line = true;
        const Elastic_Layout layout =
            Compute_Elastic_Layout(4400, 6000, 2400, 3000, {Control(1000, 1000, 1000, 2000), line});
        QCOMPARE(*layout.rX, 2.0);
        QCOMPARE(*layout.rY, 2.0);
        QCOMPARE(layout.Controls.size(), std::size_t(2));
        const Elastic_Placement& p = layout.Controls[0];
        QCOMPARE(*p.Top_Or_Y1, 500);
        QCOMPARE(*p.Left_Or_X1, 500);
        QCOMPARE(*p.Height_Or_Y2, 500);
        QCOMPARE(*p.Width_Or_X2, 1000);
        QCOMPARE(*p.Right_Margin, 0);
        const Elastic_Placement& l = layout.Controls[1];
        QCOMPARE(QList<int>({*l.Top_Or_Y1, *l.Left_Or_X1, *l.Height_Or_Y2, *l.Width_Or_X2}),
                 QList<int>({50, 100, 150, 200}));
        QVERIFY(!l.Font_Size && !l.Right_Margin);
    }

    void caption_allowance_is_in_the_vertical_ratio_only_and_results_round_down()
    {
        // Twice the client height (4000 -> 8000) but the outer height does
        // not double; the width ratio has no allowance.
        const Elastic_Layout layout =
            Compute_Elastic_Layout(4400, 6000, 8400, 9000, {Control(999, 1001, 333, 1)});
        QCOMPARE(*layout.rY, 0.5);
        QCOMPARE(*layout.rX, 6000.0 / 9000.0);
        const Elastic_Placement& p = layout.Controls[0];
        QCOMPARE(*p.Top_Or_Y1, 1998);
        QCOMPARE(*p.Height_Or_Y2, 666);
        QCOMPARE(*p.Left_Or_X1, 1501); // 1501.5 rounds down
        QCOMPARE(*p.Width_Or_X2, 1);   // 1.5
    }

    void font_size_rule()
    {
        QCOMPARE(Elastic_Font_Size(8), 8);
        QCOMPARE(Elastic_Font_Size(10), 10);
        QCOMPARE(Elastic_Font_Size(9.4), 10);
        QCOMPARE(Elastic_Font_Size(9.6), 9);
        QCOMPARE(Elastic_Font_Size(9), 10);  // odd sizes step up
        QCOMPARE(Elastic_Font_Size(9.5), 9); // R(9.5) = 10, the even one
        QCOMPARE(Elastic_Font_Size(10.5), 10);
        QCOMPARE(Elastic_Font_Size(-1.5), -2); // the remainder keeps R's sign

        // Through the layout: rX 1 keeps 8, a window 25 % wider (rX 0.8) gives 10.
        QCOMPARE(
            *Compute_Elastic_Layout(4400, 6000, 4400, 6000, {Control(0, 0, 10, 10)}).Controls[0].Font_Size,
            8);
        QCOMPARE(
            *Compute_Elastic_Layout(4400, 6000, 4400, 7500, {Control(0, 0, 10, 10)}).Controls[0].Font_Size,
            10);
    }

    void below_half_size_the_layout_is_for_half_size()
    {
        const Elastic_Layout layout =
            Compute_Elastic_Layout(4400, 6000, 1000, 1000, {Control(1000, 1000, 1000, 2000)});
        QCOMPARE(layout.Height, 2200.0);
        QCOMPARE(layout.Width, 3000.0);
        QCOMPARE(*layout.rX, 2.0);
        QCOMPARE(*layout.rY, 4000.0 / 1800.0);
        QCOMPARE(*layout.Controls[0].Width_Or_X2, 1000);
        QCOMPARE(*layout.Controls[0].Top_Or_Y1, 450);
    }

    void failed_divisions_skip_only_their_own_values()
    {
        // Height exactly 400: no vertical ratio, the horizontal one still applies.
        Elastic_Placement p =
            Compute_Elastic_Layout(800, 6000, 400, 3000, {Control(100, 100, 100, 100)}).Controls[0];
        QVERIFY(!p.Top_Or_Y1 && !p.Height_Or_Y2 && !p.Right_Margin);
        QCOMPARE(*p.Left_Or_X1, 50);
        QCOMPARE(*p.Font_Size, 4);

        // A window laid out 400 high: a ratio of 0 fails like none.
        p = Compute_Elastic_Layout(400, 6000, 2400, 3000, {Control(100, 100, 100, 100)}).Controls[0];
        QVERIFY(!p.Top_Or_Y1 && !p.Height_Or_Y2);
        QCOMPARE(*p.Width_Or_X2, 50);

        // Width 0: the vertical values still apply.
        p = Compute_Elastic_Layout(4400, 0, 2400, 0, {Control(100, 100, 100, 100)}).Controls[0];
        QVERIFY(!p.Left_Or_X1 && !p.Width_Or_X2 && !p.Font_Size);
        QCOMPARE(*p.Top_Or_Y1, 50);
    }

    void values_beyond_sixteen_bits_saturate_and_never_overflow()
    {
        QCOMPARE(To_Int16(40000), std::int16_t(32767));
        QCOMPARE(To_Int16(-40000), std::int16_t(-32768));
        QCOMPARE(To_Int16(2.5), std::int16_t(2));
        QCOMPARE(To_Int16(3.5), std::int16_t(4));
        QCOMPARE(To_Int16(std::numeric_limits<double>::quiet_NaN()), std::int16_t(0));

        // A window laid out 2 twips wide and made huge: results past any
        // sensible size are skipped, not wrapped.
        const Elastic_Placement p =
            Compute_Elastic_Layout(4400, 2, 4400, 1.0e7, {Control(32767, 32767, 32767, -32768, 32767)})
                .Controls[0];
        QVERIFY(!p.Left_Or_X1 && !p.Width_Or_X2 && !p.Font_Size);
        QCOMPARE(*p.Top_Or_Y1, 32767);
        QVERIFY(Elastic_Font_Size(1.0e300) > 0);
        QCOMPARE(Elastic_Font_Size(std::nan("")), 0);
    }

    void init_records_the_placed_controls_in_creation_order()
    {
        QWidget window;
        window.resize(400, 300);
        auto* text = new QTextEdit(&window);
        text->setObjectName(QStringLiteral("Text"));
        auto* group = new QGroupBox(QStringLiteral("Group"), &window);
        group->setObjectName(QStringLiteral("Group"));
        auto* label = new QLabel(QStringLiteral("Label"), group);
        label->setObjectName(QStringLiteral("Label"));
        auto* row = new QWidget(&window);
        row->setObjectName(QStringLiteral("Row"));
        auto* inLayout = new QPushButton(QStringLiteral("In layout"), row);
        (new QHBoxLayout(row))->addWidget(inLayout);

        class_Elastic elastic;
        elastic.Init(&window);
        // The text box's viewport and scroll bars, and the laid-out button, are
        // not the window's to place.
        const std::vector<QWidget*> expected{text, group, label, row};
        QCOMPARE(elastic.Controls(), expected);
        QCOMPARE(elastic.Initial_Width(), To_Int16(Pixels_To_Twips(&window, 400, Qt::Horizontal)));
        QCOMPARE(elastic.Initial_Height(),
                 To_Int16(Pixels_To_Twips(&window, 300, Qt::Vertical) + kCaptionTwips));
    }

    void resize_before_init_and_first_resize_after_init_change_nothing()
    {
        Elastic_Window window;
        window.resize(200, 150);
        window.elastic.FormResize(&window); // never initialised
        QCOMPARE(window.box->geometry(), QRect(60, 60, 120, 90));

        window.resize(400, 300);
        window.elastic.Init(&window);
        window.resize(200, 150);
        window.elastic.FormResize(&window); // the skipped one
        QCOMPARE(window.box->geometry(), QRect(60, 60, 120, 90));
        window.elastic.FormResize(&window);
        QCOMPARE(window.box->geometry(), QRect(30, 30, 60, 45));
        QCOMPARE(window.button->geometry(), QRect(150, 120, 40, 15));
    }

    void a_shown_window_keeps_its_controls_in_proportion()
    {
        Elastic_Window window;
        window.elastic.Init(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.box->geometry(), QRect(60, 60, 120, 90)); // showing was the skipped resize

        window.resize(800, 600);
        QTRY_COMPARE(window.box->geometry(), QRect(120, 120, 240, 180));
        QCOMPARE(window.button->geometry(), QRect(600, 480, 160, 60));
        QCOMPARE(window.box->font().pointSize(), 16); // 8 / rX 0.5

        window.resize(500, 300);
        QTRY_COMPARE(window.box->geometry(), QRect(75, 60, 150, 90));
        QCOMPARE(window.button->font().pointSize(), 10); // rX 0.8
    }

    void shrinking_below_half_snaps_back_to_half()
    {
        Elastic_Window window;
        window.elastic.Init(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        window.resize(50, 40);
        const double halfHeight = window.elastic.Initial_Height() / 2.0 - kCaptionTwips;
        const QSize half(Twips_To_Pixels(&window, window.elastic.Initial_Width() / 2.0, Qt::Horizontal),
                         Twips_To_Pixels(&window, halfHeight, Qt::Vertical));
        QTRY_COMPARE(window.size(), half);
        // Laid out for the size it snapped to: rX 2, rY from the client heights.
        const double rY = (window.elastic.Initial_Height() - kCaptionTwips) /
                          (Window_Height_Twips(&window) - kCaptionTwips);
        QTRY_COMPARE(window.box->geometry(),
                     Twips_Rect(&window, 450, std::floor(900 / rY), 900, std::floor(1350 / rY)));
        QCOMPARE(window.box->font().pointSize(), 4);
    }
};

QTEST_MAIN(Test_Class_Elastic)
#include "test_class_elastic.moc"
