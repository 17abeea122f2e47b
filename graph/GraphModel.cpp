#include "graph/GraphModel.h"
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Beyond this the buffer would not fit a 32-bit program's address space anyway.
constexpr int64_t kMaxEntries = int64_t(1) << 26;

int ClampToInt(int64_t v)
{
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return int(v);
}

int TruncToInt(double v)
{
    if (v >= 2147483647.0)
        return INT32_MAX;
    if (v <= -2147483648.0)
        return INT32_MIN;
    return int(v);
}

// True when the format holds exactly one integer conversion and nothing else that printf
// would read an argument for.
bool IsOneIntegerFormat(const std::string& format)
{
    int conversions = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        ++i;
        if (i < format.size() && format[i] == '%')
            continue;
        while (i < format.size() && std::strchr("-+ 0#", format[i]))
            ++i;
        while (i < format.size() && format[i] >= '0' && format[i] <= '9')
            ++i;
        if (i < format.size() && format[i] == '.') {
            ++i;
            while (i < format.size() && format[i] >= '0' && format[i] <= '9')
                ++i;
        }
        if (i >= format.size() || !std::strchr("diuxX", format[i]))
            return false;
        ++conversions;
    }
    return conversions == 1;
}

uint32_t Blend(uint32_t from, uint32_t to, int step, int steps)
{
    if (steps <= 0)
        return from;
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int a = int((from >> shift) & 0xFF), b = int((to >> shift) & 0xFF);
        out |= uint32_t(a + (b - a) * step / steps) << shift;
    }
    return out;
}

const uint32_t kBlackSeries[6] = {GraphRgb(254, 255, 135), GraphRgb(135, 245, 255), GraphRgb(245, 135, 255),
                                  GraphRgb(135, 146, 255), GraphRgb(255, 135, 135), GraphRgb(255, 197, 135)};
const uint32_t kBlueSeries[5] = {GraphRgb(241, 250, 255), GraphRgb(160, 185, 216), GraphRgb(218, 161, 160),
                                 GraphRgb(192, 209, 155), GraphRgb(179, 165, 195)};
constexpr uint32_t kBlueDark = GraphRgb(42, 64, 88);
constexpr uint32_t kBlueLight = GraphRgb(97, 121, 149);

} // namespace

int GraphMapX(int64_t p, int points, int labelWidth, int width)
{
    if (points <= 1)
        return labelWidth;
    return ClampToInt(labelWidth + int64_t(width - labelWidth) * p / (points - 1));
}

int GraphMapRingX(int k, int count, int points, int labelWidth, int width)
{
    return GraphMapX(int64_t(k) + points - count, points, labelWidth, width);
}

int GraphMapY(int value, int minimum, int maximum, int height)
{
    if (maximum == minimum)
        return height;
    int64_t y = height - (int64_t(value) - minimum) * height / (int64_t(maximum) - minimum);
    if (y < 0)
        return 0;
    if (y > height)
        return height;
    return int(y);
}

int GraphRaisedMaximum(int value)
{
    // The growth factor is the single-precision third the axis has always used.
    double raised = double(value) + double(value) * double(0.33333334f);
    int maximum = TruncToInt(raised);
    return maximum < value ? value : maximum;
}

void GraphAutoRange(int smallest, int largest, int lowerLimit, int upperLimit, int* minimum, int* maximum)
{
    int64_t low = TruncToInt(smallest - std::fabs(smallest * 0.025));
    low = low / 10 * 10 - 10;
    if (lowerLimit != -1 && low < lowerLimit)
        low = lowerLimit;
    int64_t high = TruncToInt(largest + std::fabs(largest * 0.025));
    high = high / 10 * 10;
    // Rounding towards zero can land below the largest value (95 gives 90): the next ten up
    // keeps it on the plot.
    if (high < largest)
        high += 10;
    if (upperLimit != -1 && high > upperLimit)
        high = upperLimit;
    *minimum = ClampToInt(low);
    *maximum = ClampToInt(high);
}

int GraphLabelValue(int i, int minimum, int maximum)
{
    return ClampToInt(int64_t(maximum) - int64_t(i) * (int64_t(maximum) - minimum) / 10);
}

int GraphLabelColumn(int labelWidth, int widestText, int width)
{
    int needed = widestText + 3 + 8;
    if (needed <= labelWidth)
        return labelWidth;
    return needed < width / 2 ? needed : (labelWidth > width / 2 ? labelWidth : width / 2);
}

uint32_t GraphBackground(int y, int height, bool darkBlue)
{
    if (!darkBlue)
        return 0;
    int split = height * 2 / 3;
    if (y < split)
        return Blend(kBlueDark, kBlueLight, y, split);
    // The last row reaches the dark colour again.
    return Blend(kBlueLight, kBlueDark, y - split, height - split - 1);
}

uint32_t GraphSeriesColour(int series, bool darkBlue)
{
    if (series < 0)
        series = -series;
    return darkBlue ? kBlueSeries[series % 5] : kBlackSeries[series % 6];
}

std::string GraphFormatLabel(const std::string& format, int value)
{
    char text[128];
    if (IsOneIntegerFormat(format))
        std::snprintf(text, sizeof text, format.c_str(), value);
    else
        std::snprintf(text, sizeof text, "%d", value);
    return text;
}

void GraphModel::Init(int points, int minimum, int maximum, int series, const char* labelFormat,
                      int labelWidth, int penWidth, int lowerLimit, int upperLimit)
{
    if (points < 0 || series < 0 || int64_t(points) * series > kMaxEntries)
        points = series = 0;
    m_values.assign(size_t(points) * size_t(series), kGraphEmpty);
    m_names.assign(size_t(series), std::string());
    m_points = points;
    m_series = series;
    m_minimum = minimum < maximum ? minimum : maximum;
    m_maximum = maximum;
    m_labelFormat = labelFormat ? labelFormat : "";
    m_labelWidth = labelWidth;
    m_penWidth = penWidth;
    m_lowerLimit = lowerLimit;
    m_upperLimit = upperLimit;
    m_oldest = m_newest = -1;
}

bool GraphModel::AddValue(int x, int value, int series)
{
    if (m_values.empty() || series < 0 || series >= m_series)
        return false;
    if (x == -1 && (m_options & kGraphRing)) {
        int previous = m_newest;
        m_newest = (m_newest + 1) % m_points;
        if (m_oldest == -1) {
            m_oldest = m_newest;
        } else if (m_newest == m_oldest && previous != -1) {
            m_oldest = (m_oldest + 1) % m_points;
            // The reused position no longer holds the other series' oldest values either.
            for (int s = 0; s < m_series; ++s)
                m_values[size_t(s) + size_t(m_newest) * size_t(m_series)] = kGraphEmpty;
        }
        x = m_newest;
    } else if (x < 0 || x >= m_points) {
        return false;
    }

    if (!(m_options & kGraphRaiseMaximum)) {
        if (value > m_maximum)
            value = m_maximum;
        if (value < m_minimum)
            value = m_minimum;
    } else if (value > m_maximum) {
        m_maximum = GraphRaisedMaximum(value);
    }
    m_values[size_t(series) + size_t(x) * size_t(m_series)] = value;

    if (m_options & kGraphAutoRange) {
        int smallest = INT32_MAX, largest = INT32_MIN;
        bool any = false;
        for (int32_t v : m_values) {
            if (v == kGraphEmpty)
                continue;
            any = true;
            smallest = v < smallest ? v : smallest;
            largest = v > largest ? v : largest;
        }
        if (any)
            GraphAutoRange(smallest, largest, m_lowerLimit, m_upperLimit, &m_minimum, &m_maximum);
    }
    return true;
}

bool GraphModel::SetName(int series, const char* name)
{
    if (series < 0 || series >= int(m_names.size()))
        return false;
    m_names[size_t(series)] = name ? name : "";
    return true;
}

void GraphModel::Clear()
{
    m_values.clear();
    m_names.clear();
    m_points = 0;
    m_series = 0;
    m_oldest = m_newest = -1;
}

int GraphModel::Value(int x, int series) const
{
    if (x < 0 || x >= m_points || series < 0 || series >= m_series)
        return kGraphEmpty;
    return m_values[size_t(series) + size_t(x) * size_t(m_series)];
}

int GraphModel::LabelValue(int i) const { return GraphLabelValue(i, m_minimum, m_maximum); }

std::string GraphModel::LabelText(int i) const { return GraphFormatLabel(m_labelFormat, LabelValue(i)); }

void GraphModel::AppendSeries(int series, int L, int width, int height, GraphSeriesLine& line) const
{
    line.points.clear();
    if (!(m_options & kGraphRing)) {
        for (int p = 0; p < m_points; ++p) {
            int v = m_values[size_t(series) + size_t(p) * size_t(m_series)];
            if (v != kGraphEmpty)
                line.points.push_back(
                    {GraphMapX(p, m_points, L, width), GraphMapY(v, m_minimum, m_maximum, height)});
        }
        return;
    }
    // Ring: oldest first; the x positions need the count, so place them afterwards.
    int start = m_oldest < 0 ? 0 : m_oldest;
    for (int j = 0; j < m_points; ++j) {
        int p = (start + j) % m_points;
        int v = m_values[size_t(series) + size_t(p) * size_t(m_series)];
        if (v != kGraphEmpty)
            line.points.push_back({0, GraphMapY(v, m_minimum, m_maximum, height)});
    }
    int count = int(line.points.size());
    for (int k = 0; k < count; ++k)
        line.points[size_t(k)].x = GraphMapRingX(k, count, m_points, L, width);
}

void GraphModel::BuildFrame(int width, int height, GraphFrame& frame, int labelWidth) const
{
    const bool blue = (m_options & kGraphDarkBlue) != 0;
    const int L = labelWidth < 0 ? m_labelWidth : labelWidth;
    frame.labelWidth = L;
    frame.width = width;
    frame.height = height;
    frame.darkBlue = blue;
    frame.gridColour = blue ? GraphRgb(122, 144, 166) : GraphRgb(0, 130, 0);
    frame.labelColour = blue ? GraphRgb(220, 240, 255) : GraphRgb(135, 255, 135);
    frame.penWidth = m_penWidth;

    frame.grid.clear();
    if (m_options & kGraphHorizontalGrid)
        for (int i = 1; i <= 10; ++i) {
            int y = int(int64_t(i) * height / 10);
            frame.grid.push_back({L - 5, y, width, y});
        }
    if (m_options & kGraphVerticalGrid)
        for (int i = 0; i <= 10; ++i) {
            int x = GraphMapX(i, 11, L, width);
            frame.grid.push_back({x, 0, x, height + 1});
        }

    frame.labels.clear();
    if (!m_labelFormat.empty())
        for (int i = 1; i <= 9; ++i) {
            int y = int(int64_t(i) * height / 10);
            frame.labels.push_back({LabelText(i), 3, y - 7, L - 8, y + 23});
        }

    frame.legend.clear();
    if (m_options & kGraphLegend)
        for (int n = 0; n < int(m_names.size()); ++n)
            if (!m_names[size_t(n)].empty())
                frame.legend.push_back({m_names[size_t(n)], GraphSeriesColour(n, blue), L + 10, n * 20 + 10});

    size_t used = 0;
    if (height != 0 && m_maximum != m_minimum)
        for (int s = 0; s < m_series; ++s) {
            if (frame.series.size() <= used)
                frame.series.emplace_back();
            GraphSeriesLine& line = frame.series[used];
            AppendSeries(s, L, width, height, line);
            if (line.points.size() < 2)
                continue;
            line.series = s;
            line.colour = GraphSeriesColour(s, blue);
            ++used;
        }
    frame.series.resize(used);
}

GraphRect GraphAnchor(const GraphRect& control, int setupClientWidth, int setupClientHeight, int clientWidth,
                      int clientHeight)
{
    GraphRect r = control;
    r.right = control.right + (clientWidth - setupClientWidth);
    r.bottom = control.bottom + (clientHeight - setupClientHeight);
    // A window made smaller than the control's margins leaves an empty control, not a
    // negative one.
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}
