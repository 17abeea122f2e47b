#include "graph/GraphModel.h"
#include <climits>
#include <gtest/gtest.h>

namespace {

// The values the BlockAccess worker sets the graph up with.
GraphModel RateGraph(uint32_t options = kGraphProgramOptions, int points = 1000)
{
    GraphModel model(options);
    model.Init(points, 0, 10, 1, "%d MB/s", 60, 1, -1, -1);
    return model;
}

// Everything a caller could observe, to prove a refused call changed nothing.
std::vector<int> State(const GraphModel& m)
{
    std::vector<int> s = {m.Points(), m.SeriesCount(), m.Minimum(), m.Maximum(), m.Oldest(), m.Newest()};
    for (int x = 0; x < m.Points(); ++x)
        for (int k = 0; k < m.SeriesCount(); ++k)
            s.push_back(m.Value(x, k));
    return s;
}

} // namespace

TEST(GraphModel, ValueAboveMaximumRaisesAxisAndLabelsFollow)
{
    GraphModel model = RateGraph();
    ASSERT_TRUE(model.AddValue(5, 40, 0));
    EXPECT_EQ(model.Maximum(), 53);
    EXPECT_EQ(model.Minimum(), 0);
    EXPECT_EQ(model.Value(5, 0), 40); // stored as given, not clipped
    const char* expected[9] = {"48 MB/s", "43 MB/s", "38 MB/s", "32 MB/s", "27 MB/s",
                               "22 MB/s", "16 MB/s", "11 MB/s", "6 MB/s"};
    for (int i = 1; i <= 9; ++i)
        EXPECT_EQ(model.LabelText(i), expected[i - 1]) << "label " << i;

    // The frame carries the same texts, right-aligned in boxes around their grid lines.
    GraphFrame frame;
    model.BuildFrame(500, 300, frame);
    ASSERT_EQ(frame.labels.size(), 9u);
    EXPECT_EQ(frame.labels[0].text, "48 MB/s");
    EXPECT_EQ(frame.labels[2].top, 90 - 7);
    EXPECT_EQ(frame.labels[2].bottom, 90 + 23);
    EXPECT_EQ(frame.labels[2].left, 3);
    EXPECT_EQ(frame.labels[2].right, 60 - 8);

    // A smaller value later leaves the raised maximum alone; a bigger one raises it again.
    model.AddValue(6, 20, 0);
    EXPECT_EQ(model.Maximum(), 53);
    model.AddValue(7, 300, 0);
    EXPECT_EQ(model.Maximum(), 400);
}

TEST(GraphModel, WithoutRaisingValuesAreClippedToTheAxis)
{
    GraphModel model = RateGraph(kGraphHorizontalGrid);
    model.AddValue(0, 40, 0);
    model.AddValue(999, -7, 0);
    EXPECT_EQ(model.Maximum(), 10);
    EXPECT_EQ(model.Value(0, 0), 10);
    EXPECT_EQ(model.Value(999, 0), 0);

    GraphFrame frame;
    model.BuildFrame(400, 200, frame);
    ASSERT_EQ(frame.series.size(), 1u);
    const auto& pts = frame.series[0].points;
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_EQ(pts[0].y, 0);   // top edge
    EXPECT_EQ(pts[1].y, 200); // bottom edge
}

TEST(GraphModel, RefusedCallsChangeNothing)
{
    GraphModel none(kGraphProgramOptions);
    EXPECT_FALSE(none.AddValue(0, 5, 0)); // no buffer yet
    EXPECT_EQ(none.Maximum(), 0);

    GraphModel model(kGraphProgramOptions);
    model.Init(1000, 0, 10, 2, "%d", 60, 1, -1, -1);
    model.AddValue(3, 4, 1);
    const std::vector<int> before = State(model);
    EXPECT_FALSE(model.AddValue(0, 99, 2));    // series equal to the count
    EXPECT_FALSE(model.AddValue(0, 99, -1));   // negative series
    EXPECT_FALSE(model.AddValue(1000, 99, 0)); // x equal to the points
    EXPECT_FALSE(model.AddValue(-1, 99, 0));   // append without ring mode
    EXPECT_FALSE(model.AddValue(-5, 99, 0));
    EXPECT_FALSE(model.SetName(2, "x"));
    EXPECT_EQ(State(model), before);
}

TEST(GraphModel, SeriesLinesNeedTwoValuesAndAPlot)
{
    GraphModel model = RateGraph();
    GraphFrame frame;
    model.AddValue(0, 5, 0);
    model.BuildFrame(600, 300, frame);
    EXPECT_TRUE(frame.series.empty()) << "a single value draws no line";

    model.AddValue(999, 8, 0);
    model.BuildFrame(600, 300, frame);
    ASSERT_EQ(frame.series.size(), 1u);
    const auto& pts = frame.series[0].points;
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_EQ(pts[0].x, 60);  // the label column's edge
    EXPECT_EQ(pts[1].x, 600); // the right edge
    EXPECT_EQ(pts[0].y, 300 - 5 * 300 / 10);
    EXPECT_EQ(pts[1].y, 300 - 8 * 300 / 10);
    EXPECT_EQ(frame.series[0].colour, GraphRgb(241, 250, 255));

    // No height: grid and labels, no series.
    model.BuildFrame(600, 0, frame);
    EXPECT_TRUE(frame.series.empty());
    EXPECT_EQ(frame.labels.size(), 9u);
    EXPECT_EQ(frame.grid.size(), 21u);

    // An axis of no extent draws no series either.
    GraphModel flat(0);
    flat.Init(10, 7, 7, 1, "%d", 30, 1, -1, -1);
    flat.AddValue(0, 7, 0);
    flat.AddValue(9, 7, 0);
    flat.BuildFrame(200, 100, frame);
    EXPECT_TRUE(frame.series.empty());
}

TEST(GraphModel, EmptyEntriesAreSkippedAndSeriesKeptApart)
{
    GraphModel model(kGraphHorizontalGrid);
    model.Init(11, 0, 100, 2, "%d", 0, 2, -1, -1);
    model.AddValue(0, 0, 0);
    model.AddValue(5, 50, 0);
    model.AddValue(10, 100, 0);
    model.AddValue(10, 20, 1); // one value: no line for series 1
    GraphFrame frame;
    model.BuildFrame(100, 100, frame);
    ASSERT_EQ(frame.series.size(), 1u);
    EXPECT_EQ(frame.series[0].series, 0);
    EXPECT_EQ(frame.penWidth, 2);
    const auto& pts = frame.series[0].points;
    ASSERT_EQ(pts.size(), 3u);
    EXPECT_EQ(pts[1].x, 50);
    EXPECT_EQ(pts[1].y, 50);
}

TEST(GraphModel, InitReplacesValuesAndOrdersTheAxis)
{
    GraphModel model = RateGraph();
    model.AddValue(5, 40, 0);
    model.Init(20, 50, 10, 3, "%d", 60, 1, -1, -1);
    EXPECT_EQ(model.Minimum(), 10);
    EXPECT_EQ(model.Maximum(), 10);
    EXPECT_EQ(model.Points(), 20);
    EXPECT_EQ(model.SeriesCount(), 3);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(model.Value(x, 0), kGraphEmpty);

    // Sizes no 32-bit program could hold give an empty graph instead of a failed allocation.
    model.Init(INT_MAX, 0, 10, INT_MAX, "%d", 60, 1, -1, -1);
    EXPECT_EQ(model.Points(), 0);
    EXPECT_FALSE(model.AddValue(0, 1, 0));
    model.Init(-3, 0, 10, 1, "%d", 60, 1, -1, -1);
    EXPECT_EQ(model.Points(), 0);
}

TEST(GraphModel, RingAppendsScrollsAndPutsTheNewestAtTheRightEdge)
{
    GraphModel model(kGraphRing);
    model.Init(4, 0, 100, 2, "%d", 0, 1, -1, -1);
    model.AddValue(-1, 10, 0);
    EXPECT_EQ(model.Oldest(), 0);
    EXPECT_EQ(model.Newest(), 0);
    model.AddValue(-1, 20, 0);
    GraphFrame frame;
    model.BuildFrame(300, 100, frame);
    ASSERT_EQ(frame.series.size(), 1u);
    // Two of four positions filled: they take the right-hand end.
    EXPECT_EQ(frame.series[0].points[0].x, 200);
    EXPECT_EQ(frame.series[0].points[1].x, 300);
    EXPECT_EQ(frame.series[0].points[1].y, 80);

    model.AddValue(-1, 77, 1); // another series also moves the ring on
    EXPECT_EQ(model.Newest(), 2);
    model.AddValue(-1, 30, 0);
    model.AddValue(-1, 40, 0); // position 0 again: the oldest goes
    EXPECT_EQ(model.Newest(), 0);
    EXPECT_EQ(model.Oldest(), 1);
    EXPECT_EQ(model.Value(0, 0), 40);
    model.AddValue(-1, 50, 0); // position 1: series 1's old entry there is gone too
    EXPECT_EQ(model.Oldest(), 2);
    model.AddValue(-1, 60, 0); // position 2: the 77 of series 1 scrolls out
    EXPECT_EQ(model.Value(2, 1), kGraphEmpty);

    model.BuildFrame(300, 100, frame);
    ASSERT_EQ(frame.series.size(), 1u);
    const auto& pts = frame.series[0].points;
    ASSERT_EQ(pts.size(), 4u);
    // Oldest to newest: 30 (position 3), 40, 50, 60.
    int expectY[4] = {70, 60, 50, 40};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(pts[size_t(k)].x, k * 100);
        EXPECT_EQ(pts[size_t(k)].y, expectY[k]);
    }

    // An explicit x in ring mode still stores there; beyond the buffer it is refused.
    EXPECT_TRUE(model.AddValue(1, 5, 1));
    EXPECT_FALSE(model.AddValue(4, 5, 1));
}

TEST(GraphModel, AutomaticRangeFollowsTheValuesWithinTheLimits)
{
    GraphModel model(kGraphAutoRange | kGraphRaiseMaximum);
    model.Init(100, 0, 10, 1, "%d", 60, 1, -1, -1);
    model.AddValue(0, 95, 0);
    // 95 - 2.375 -> 92 -> 90 - 10; 95 + 2.375 -> 97 -> 90, below 95, so 100.
    EXPECT_EQ(model.Minimum(), 80);
    EXPECT_EQ(model.Maximum(), 100);
    model.AddValue(1, 205, 0);
    EXPECT_EQ(model.Minimum(), 80);
    EXPECT_EQ(model.Maximum(), 210); // 205 + 5.125 -> 210
    model.AddValue(1, 150, 0);       // replacing the largest value shrinks the range again
    EXPECT_EQ(model.Maximum(), 150); // 153.75 -> 150, the value itself

    model.Init(100, 0, 10, 1, "%d", 60, 1, 85, 200);
    model.AddValue(0, 95, 0);
    model.AddValue(1, 205, 0);
    EXPECT_EQ(model.Minimum(), 85);
    EXPECT_EQ(model.Maximum(), 200);

    // Without raising, a value is clipped to the axis before the range is worked out.
    GraphModel clipped(kGraphAutoRange);
    clipped.Init(100, 0, 10, 1, "%d", 60, 1, -1, -1);
    clipped.AddValue(0, 95, 0);
    EXPECT_EQ(clipped.Value(0, 0), 10);
    EXPECT_EQ(clipped.Minimum(), -10);
    EXPECT_EQ(clipped.Maximum(), 10);

    int minimum = 0, maximum = 0;
    GraphAutoRange(-95, -12, -1, -1, &minimum, &maximum);
    EXPECT_EQ(minimum, -100); // -97.375 -> -97 -> -90 (towards zero) - 10
    EXPECT_EQ(maximum, -10);  // -12 + 0.3 -> -11 -> -10
    GraphAutoRange(0, 0, -1, -1, &minimum, &maximum);
    EXPECT_EQ(minimum, -10);
    EXPECT_EQ(maximum, 0);
    // Every largest value ends up on the plot.
    for (int largest = -50; largest <= 5000; ++largest) {
        GraphAutoRange(0, largest, -1, -1, &minimum, &maximum);
        ASSERT_GE(maximum, largest);
        ASSERT_EQ(maximum % 10, 0);
    }
}

TEST(GraphModel, ExtremeValuesStayInRange)
{
    // Under the sanitizers: no signed overflow and no float-to-int overflow anywhere.
    EXPECT_EQ(GraphRaisedMaximum(INT_MAX), INT_MAX);
    EXPECT_EQ(GraphRaisedMaximum(3), 4);
    EXPECT_GE(GraphRaisedMaximum(-30), -30); // never below the value that raised it
    int minimum = 0, maximum = 0;
    GraphAutoRange(INT_MIN + 1, INT_MAX, -1, -1, &minimum, &maximum);
    EXPECT_EQ(minimum, INT_MIN);
    EXPECT_EQ(maximum, INT_MAX);
    EXPECT_EQ(GraphMapY(INT_MAX, INT_MIN, INT_MAX, 1000), 0);
    EXPECT_EQ(GraphMapY(INT_MIN, INT_MIN, INT_MAX, 1000), 1000);
    EXPECT_EQ(GraphMapY(500, 0, 100, 1000), 0); // beyond the top stays on the edge
    EXPECT_EQ(GraphLabelValue(9, INT_MIN, INT_MAX), INT_MIN + 429496729 + 1);
    EXPECT_EQ(GraphMapX(4999, 5000, 60, 30000), 30000);

    GraphModel model(kGraphProgramOptions | kGraphAutoRange);
    model.Init(3, INT_MIN, INT_MAX, 1, "%d", 60, 1, -1, -1);
    model.AddValue(0, INT_MAX, 0);
    model.AddValue(1, INT_MIN + 1, 0);
    GraphFrame frame;
    model.BuildFrame(100, 100, frame);
    ASSERT_EQ(frame.series.size(), 1u);
    EXPECT_EQ(frame.series[0].points[0].y, 0);
}

TEST(GraphModel, LabelFormatsOtherThanOneNumberShowTheBareNumber)
{
    EXPECT_EQ(GraphFormatLabel("%d MB/s", 12), "12 MB/s");
    EXPECT_EQ(GraphFormatLabel("%5d%%", 7), "    7%");
    EXPECT_EQ(GraphFormatLabel("%s", 7), "7");
    EXPECT_EQ(GraphFormatLabel("%d %d", 7), "7");
    EXPECT_EQ(GraphFormatLabel("%n", 7), "7");
    EXPECT_EQ(GraphFormatLabel("rate", 7), "7");
    EXPECT_EQ(GraphFormatLabel("%", 7), "7");
    GraphModel model(0);
    model.Init(10, 0, 10, 1, "", 60, 1, -1, -1);
    GraphFrame frame;
    model.BuildFrame(100, 100, frame);
    EXPECT_TRUE(frame.labels.empty());
}

TEST(GraphModel, GridLegendAndLook)
{
    GraphModel model(kGraphHorizontalGrid | kGraphVerticalGrid | kGraphLegend);
    model.Init(10, 0, 100, 3, "%d", 60, 1, -1, -1);
    model.SetName(0, "read");
    model.SetName(2, "write");
    GraphFrame frame;
    model.BuildFrame(560, 200, frame);
    ASSERT_EQ(frame.grid.size(), 21u);
    // Horizontal lines 1..10 from the label column's tick to the right edge.
    EXPECT_EQ(frame.grid[0].x1, 55);
    EXPECT_EQ(frame.grid[0].y1, 20);
    EXPECT_EQ(frame.grid[9].y1, 200);
    // Vertical lines 0..10 across the plot, one past the bottom.
    EXPECT_EQ(frame.grid[10].x1, 60);
    EXPECT_EQ(frame.grid[15].x1, 310);
    EXPECT_EQ(frame.grid[20].x1, 560);
    EXPECT_EQ(frame.grid[20].y2, 201);
    ASSERT_EQ(frame.legend.size(), 2u);
    EXPECT_EQ(frame.legend[1].text, "write");
    EXPECT_EQ(frame.legend[1].y, 50);
    EXPECT_EQ(frame.legend[1].x, 70);
    EXPECT_EQ(frame.legend[1].colour, GraphRgb(245, 135, 255));

    model.SetOptions(kGraphLegend | kGraphDarkBlue);
    model.BuildFrame(560, 200, frame);
    EXPECT_TRUE(frame.grid.empty());
    EXPECT_EQ(frame.legend[1].colour, GraphRgb(218, 161, 160));
}

TEST(GraphModel, DarkBlueBackgroundRisesOverTwoThirdsAndFallsBack)
{
    EXPECT_EQ(GraphBackground(0, 300, true), GraphRgb(42, 64, 88));
    EXPECT_EQ(GraphBackground(200, 300, true), GraphRgb(97, 121, 149));
    EXPECT_EQ(GraphBackground(299, 300, true) & 0xFF, 42u);
    GraphBackground(0, 0, true); // no division by a zero height
}

TEST(GraphModel, AnchoredControlKeepsItsDistanceToAllEdges)
{
    GraphRect control = {5, 8, 295, 142}; // margins 5, 8, 5 and 8 in a 300 x 150 client
    GraphRect r = GraphAnchor(control, 300, 150, 800, 600);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 8);
    EXPECT_EQ(800 - r.right, 5);
    EXPECT_EQ(600 - r.bottom, 8);
    r = GraphAnchor(control, 300, 150, 200, 100);
    EXPECT_EQ(r.right, 195);
    EXPECT_EQ(r.bottom, 92);
    r = GraphAnchor(control, 300, 150, 4, 3); // smaller than the margins: empty, not inverted
    EXPECT_EQ(r.right, 5);
    EXPECT_EQ(r.bottom, 8);
}

TEST(GraphModel, LabelColumnWidensForLongLabelsWithinHalfThePlot)
{
    EXPECT_EQ(GraphLabelColumn(60, 40, 600), 60);   // fits: as set up
    EXPECT_EQ(GraphLabelColumn(60, 49, 600), 60);   // 3 + 49 + 8
    EXPECT_EQ(GraphLabelColumn(60, 70, 600), 81);   // "1234 MB/s"
    EXPECT_EQ(GraphLabelColumn(60, 400, 600), 300); // never more than half
    EXPECT_EQ(GraphLabelColumn(60, 400, 100), 60);  // nor less than set up

    GraphModel model = RateGraph();
    model.AddValue(0, 5, 0);
    model.AddValue(999, 5, 0);
    GraphFrame frame;
    model.BuildFrame(600, 300, frame, 81);
    EXPECT_EQ(frame.labelWidth, 81);
    EXPECT_EQ(frame.series[0].points[0].x, 81);
    EXPECT_EQ(frame.labels[0].right, 81 - 8);
    EXPECT_EQ(frame.grid[0].x1, 81 - 5);
}
