#pragma once

// Small controls of the route and track editor: the list's entries, the 16-colour palette and
// the highlight of a point on the chart.

#include "charts/ChartDesk.h"

#include <QPixmap>
#include <QScrollArea>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QWidget>
#include <functional>
#include <optional>

namespace vrn {

// The entries of the route and track list, on the list's sea-coloured background: grey when
// selected, the visible or hidden icon 1 pixel from the left, the type icon ("BGPS" for the GPS
// track, "BTRACK", "BROUTE") 12 pixels from the left and the name in the object's colour 26
// pixels from the left. An entry whose object is no longer listed is not drawn.
class TRouteListDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The item data role holding the entry's object (a TChtRoute pointer as quintptr).
    static constexpr int kObjectRole = Qt::UserRole;
    static constexpr int kNameIndent = 26;
    // A click left of this toggles the entry's visibility.
    static constexpr int kVisibleToggleWidth = 12;

    TRouteListDelegate(const TChartDesk &desk, QObject *parent);

    void SetIcons(std::function<QPixmap(const char *)> icons);

    static TChtRoute *ObjectOf(const QModelIndex &index);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    const TChartDesk &FDesk;
    std::function<QPixmap(const char *)> FIcons;
};

// The 16 standard colours in two rows; a click on one is the chosen colour.
class TRouteColorGrid : public QWidget
{
    Q_OBJECT

public:
    explicit TRouteColorGrid(QWidget *parent = nullptr);

    // The colour framed as the selected object's; none when it is not one of the 16 or nothing
    // is selected.
    void SetCurrent(std::optional<TColor> colour);

    // The cell of colour `index` of the standard colours.
    QRect CellRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void Clicked(vrn::TColor colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    std::optional<int> FCurrent;
};

// The point table, asking to be as wide as all its columns (the editor panel is given that width
// when the window has room for it).
class TPointTableView : public QTableView
{
public:
    using QTableView::QTableView;

    QSize sizeHint() const override;
};

// The editor page's scroller, asking for the width of the whole page (a plain scroll area asks
// for no more than 36 lines' height of width, which cuts the point table short).
class TPageScrollArea : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;

    QSize sizeHint() const override;
};

// The highlighted point of the point table: a yellow circle of radius 4 around it, drawn over the
// chart as an overlay (the chart's picture stays untouched).
class THighlightMark : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kRadius = 4;

    explicit THighlightMark(QWidget *chart);

    void CentreOn(int x, int y);
    QPoint Centre() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace vrn
