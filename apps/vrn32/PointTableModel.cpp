#include "apps/vrn32/PointTableModel.h"

#include "charts/ChartDialogs.h"
#include "engine/VrnError.h"

namespace vrn {

namespace {

QString Q(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string S(const QString &s)
{
    const QByteArray bytes = s.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

TPointColumn ColumnOf(int column)
{
    return static_cast<TPointColumn>(column);
}

} // namespace

TPointTableModel::TPointTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

void TPointTableModel::SetObject(TChtRoute *object)
{
    beginResetModel();
    FObject = object;
    FTrack = dynamic_cast<TChtTrack *>(object) != nullptr;
    FRows = object ? static_cast<int>(object->Points.size()) : 0;
    FTotalNm = object ? TotalLength(*object) : 0;
    endResetModel();
}

void TPointTableModel::PointsChanged()
{
    if (!FObject) {
        return;
    }
    const int n = static_cast<int>(FObject->Points.size());
    if (n > FRows) {
        // New points at the end (GPS fixes): the old total plus the new legs.
        const int old = FRows;
        FTotalNm += LengthFrom(*FObject, static_cast<std::size_t>(std::max(old - 1, 0)));
        beginInsertRows(QModelIndex(), old, n - 1);
        FRows = n;
        endInsertRows();
        if (old > 0)
            RefreshRows(old - 1, old - 1);
    } else if (n == FRows) {
        FTotalNm = TotalLength(*FObject);
        if (n > 0)
            RefreshRows(0, n - 1);
    } else {
        SetObject(FObject);
    }
}

void TPointTableModel::RefreshRows(int first, int last)
{
    emit dataChanged(index(first, 0), index(last, kPointColumnCount - 1), {Qt::DisplayRole});
}

int TPointTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FRows;
}

int TPointTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kPointColumnCount;
}

QVariant TPointTableModel::data(const QModelIndex &index, int role) const
{
    if (!FObject || !index.isValid() || index.row() >= FRows)
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return Q(PointCellText(*FObject, row, ColumnOf(index.column()), FTrack));
    if (role == Qt::TextAlignmentRole) {
        switch (ColumnOf(index.column())) {
        case TPointColumn::Number:
        case TPointColumn::Cog:
        case TPointColumn::Rng:
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    return {};
}

QVariant TPointTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < kPointColumnCount)
        return QString::fromLatin1(PointColumnHeader(ColumnOf(section)));
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole)
        return QStringLiteral("Dbl click to edit points");
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TPointTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!FObject || !index.isValid())
        return f;
    switch (ColumnOf(index.column())) {
    case TPointColumn::Lat:
    case TPointColumn::Lon:
    case TPointColumn::Text:
        return f | Qt::ItemIsEditable;
    case TPointColumn::DateTime:
        return FTrack ? f | Qt::ItemIsEditable : f;
    default:
        return f;
    }
}

bool TPointTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !FObject || !index.isValid() || index.row() >= FRows
        || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const auto row = static_cast<std::size_t>(index.row());
    const TPointColumn column = ColumnOf(index.column());
    const std::string text = S(value.toString());
    // Leaving a cell as it was keeps the exact value behind its rounded text.
    if (text == PointCellText(*FObject, row, column, FTrack))
        return true;
    TChtPoint &point = FObject->Points[row];
    switch (column) {
    case TPointColumn::Lat:
    case TPointColumn::Lon: {
        const bool lat = column == TPointColumn::Lat;
        const auto deg = lat ? ParseLatitudeCell(text) : ParseLongitudeCell(text);
        if (!deg) {
            emit EditRefused(lat ? QStringLiteral("\"%1\" is not a latitude (up to 90° N or S)")
                                       .arg(value.toString())
                                 : QStringLiteral("\"%1\" is not a longitude (up to 180° W or E)")
                                       .arg(value.toString()));
            return false;
        }
        (lat ? point.Lat : point.Lon) = *deg;
        FObject->RecomputeBounds();
        break;
    }
    case TPointColumn::Text:
        if (auto problem = FieldTextProblem(text, "The text")) {
            emit EditRefused(Q(*problem));
            return false;
        }
        point.Name = text;
        break;
    case TPointColumn::DateTime: {
        const auto time = ParsePointDateTime(text);
        if (!time) {
            emit EditRefused(
                QStringLiteral("\"%1\" is not a valid date and time").arg(value.toString()));
            return false;
        }
        point.Time = *time;
        break;
    }
    default:
        return false;
    }
    // The legs into and out of the point.
    FTotalNm = TotalLength(*FObject);
    RefreshRows(std::max(index.row() - 1, 0), index.row());
    emit PointEdited(index.row());
    return true;
}

} // namespace vrn
