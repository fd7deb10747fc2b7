#pragma once

// The route and track editor's point table: a table model over the points of one route or track
// of the chart view, read in place (the table holds no copy). Each cell is made when the view
// asks for it, so a table of 36,000 GPS fixes costs only the rows on screen, and a fix added to
// the shown track becomes one new row instead of a new table.
//
// The position, text and (for tracks) time cells can be typed into; what is typed goes through
// the same readers as the point editor, and a text that does not read leaves the point as it was.

#include "charts/RouteTable.h"

#include <QAbstractTableModel>

namespace vrn {

class TPointTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TPointTableModel(QObject *parent = nullptr);

    // The route or track shown (a track shows its times), or none for an empty table. Not
    // owned: whoever frees it sets another first.
    void SetObject(TChtRoute *object);

    TChtRoute *Object() const { return FObject; }

    bool IsTrack() const { return FTrack; }

    // The points of the shown object changed: points added at its end become new rows (and the
    // leg of the row before them is filled in); any other change refreshes the rows.
    void PointsChanged();

    // Sum of the legs that can be computed, kept up to date as points come and go.
    double TotalNm() const { return FTotalNm; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    // A typed cell changed the point of `row`: the chart shows it moved, the desktop changed.
    void PointEdited(int row);
    // What was typed could not be used; the point is unchanged.
    void EditRefused(const QString &message);

private:
    void RefreshRows(int first, int last);

    TChtRoute *FObject = nullptr;
    bool FTrack = false;
    int FRows = 0; // the rows the view knows of
    double FTotalNm = 0;
};

} // namespace vrn
