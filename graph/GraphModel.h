// The rate graph's data and arithmetic: the value buffer, the value axis, the ring, and the
// layout of one paint in surface pixels. No window code: the control draws what this computes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Option bits of the graph control.
enum : uint32_t {
    kGraphHorizontalGrid = 0x1,
    kGraphVerticalGrid = 0x2,
    kGraphRaiseMaximum = 0x4, // a value above the maximum raises it instead of being clipped
    kGraphHidden = 0x8,       // not shown when created or initialised
    kGraphOwnBorder = 0x10,   // thin frame drawn by the control, plot 2 pixels smaller
    kGraphRing = 0x20,        // x = -1 appends at the next position, scrolling the oldest out
    kGraphLegend = 0x40,
    kGraphDarkBlue = 0x80,
    kGraphAutoRange = 0x100,
    // What the program's graph window uses.
    kGraphProgramOptions =
        kGraphHorizontalGrid | kGraphVerticalGrid | kGraphRaiseMaximum | kGraphOwnBorder | kGraphDarkBlue,
};

// Marks a buffer entry that holds no value.
constexpr int32_t kGraphEmpty = INT32_MIN;

// Colours in the byte order of a Windows COLORREF (red in the low byte).
constexpr uint32_t GraphRgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

struct GraphPoint {
    int x = 0, y = 0;
};
// From (x1, y1) up to, not including, (x2, y2).
struct GraphLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
struct GraphLabel {
    std::string text;
    int left = 0, top = 0, right = 0, bottom = 0; // text right-aligned in this box
};
struct GraphLegendEntry {
    std::string text;
    uint32_t colour = 0;
    int x = 0, y = 0;
};
struct GraphSeriesLine {
    int series = 0;
    uint32_t colour = 0;
    std::vector<GraphPoint> points;
};

// Everything one paint puts on the off-screen surface of width x height pixels.
struct GraphFrame {
    int width = 0, height = 0;
    int labelWidth = 0; // where the plot starts
    bool darkBlue = false;
    uint32_t gridColour = 0, labelColour = 0;
    int penWidth = 1;
    std::vector<GraphLine> grid;
    std::vector<GraphLabel> labels;
    std::vector<GraphLegendEntry> legend;
    std::vector<GraphSeriesLine> series;
};

class GraphModel {
public:
    explicit GraphModel(uint32_t options = 0) : m_options(options) {}

    void SetOptions(uint32_t options) { m_options = options; }
    uint32_t Options() const { return m_options; }

    // A new, empty buffer of points x series entries; the axis runs from the smaller of
    // minimum and maximum up to maximum; -1 limits mean none.
    void Init(int points, int minimum, int maximum, int series, const char* labelFormat, int labelWidth,
              int penWidth, int lowerLimit, int upperLimit);
    // Stores a value of one series at x (or, in ring mode, at the next position for x = -1).
    // False when nothing was stored: no buffer, unknown series or an x outside the buffer.
    bool AddValue(int x, int value, int series);
    bool SetName(int series, const char* name);
    // Forgets buffer and names (the window went away).
    void Clear();

    int Points() const { return m_points; }
    int SeriesCount() const { return m_series; }
    int Minimum() const { return m_minimum; }
    int Maximum() const { return m_maximum; }
    int Oldest() const { return m_oldest; }
    int Newest() const { return m_newest; }
    // kGraphEmpty for an empty or unknown entry.
    int Value(int x, int series) const;
    // Label i (1..9, top to bottom): its value and its text.
    int LabelValue(int i) const;
    std::string LabelText(int i) const;

    // The layout of a paint on a width x height surface; a label column wider than the one
    // set up can be asked for (see GraphLabelColumn).
    void BuildFrame(int width, int height, GraphFrame& frame, int labelWidth = -1) const;

private:
    void AppendSeries(int series, int labelWidth, int width, int height, GraphSeriesLine& line) const;

    uint32_t m_options = 0;
    std::vector<int32_t> m_values;
    std::vector<std::string> m_names;
    int m_points = 0;
    int m_series = 0;
    int m_minimum = 0;
    int m_maximum = 0;
    int m_lowerLimit = -1;
    int m_upperLimit = -1;
    std::string m_labelFormat;
    int m_labelWidth = 0;
    int m_penWidth = 1;
    int m_oldest = -1;
    int m_newest = -1;
};

// The arithmetic, one rule each.
// x of position p of a plot whose values start at labelWidth and end at width.
int GraphMapX(int64_t p, int points, int labelWidth, int width);
// x of the k-th of count ring values, the newest at the right edge.
int GraphMapRingX(int k, int count, int points, int labelWidth, int width);
// y of a value, kept between the top (0) and the bottom (height) edge.
int GraphMapY(int value, int minimum, int maximum, int height);
// The maximum a value above it raises the axis to.
int GraphRaisedMaximum(int value);
// The automatic range around the smallest and largest stored value, within the limits.
void GraphAutoRange(int smallest, int largest, int lowerLimit, int upperLimit, int* minimum, int* maximum);
// Label i (1..9) of an axis from minimum to maximum.
int GraphLabelValue(int i, int minimum, int maximum);
// The label column that shows the widest label text whole: the set-up width, or wider (3
// pixels before the text, 8 after it), but never more than half the surface.
int GraphLabelColumn(int labelWidth, int widestText, int width);
// Background colour of surface row y.
uint32_t GraphBackground(int y, int height, bool darkBlue);
uint32_t GraphSeriesColour(int series, bool darkBlue);
// The label format applied to a value; a format that is not one integer conversion shows
// the bare number.
std::string GraphFormatLabel(const std::string& format, int value);

// The graph window keeps its control at the same distance from all four edges: the control's
// rectangle at setup, grown or shrunk by the change of the client size since then.
struct GraphRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
GraphRect GraphAnchor(const GraphRect& control, int setupClientWidth, int setupClientHeight, int clientWidth,
                      int clientHeight);
