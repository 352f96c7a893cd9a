#include "app/station_list_model.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "widgets/cp1252_text.h"

void StationListModel::rebuild(const TiXmlElement* stations_element)
{
    beginResetModel();
    stations.clear();
    for (TiXmlElement* child = xml_first_child(stations_element); child != nullptr; child = xml_next_sibling(child)) {
        if (xml_text_equals(xml_name(child), "STATION")) {
            stations.push_back(child);
        }
    }
    endResetModel();
}

TiXmlElement* StationListModel::station(int row) const
{
    if (row < 0 || row >= static_cast<int>(stations.size())) {
        return nullptr;
    }
    return stations[static_cast<size_t>(row)];
}

int StationListModel::row_of(const TiXmlElement* station) const
{
    if (station == nullptr) {
        return -1;
    }
    const auto found = std::find(stations.begin(), stations.end(), station);
    return found == stations.end() ? -1 : static_cast<int>(found - stations.begin());
}

void StationListModel::station_changed(const TiXmlElement* station)
{
    const int row = row_of(station);
    if (row >= 0) {
        emit dataChanged(index(row, 0), index(row, column_count - 1));
    }
}

int StationListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(stations.size());
}

int StationListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : column_count;
}

namespace {

const size_t shown_characters = 1000;

}  // namespace

QVariant StationListModel::data(const QModelIndex& index, int role) const
{
    TiXmlElement* element = station(index.row());
    if (role != Qt::DisplayRole || element == nullptr) {
        return QVariant();
    }
    const char* attribute = index.column() == id_column ? "id" : "description";
    // The start of the value: a column shows a few dozen characters, and a
    // text of megabytes made every paint of the list wait seconds.
    const char* text = xml_get_attr_text(element, attribute);
    return qstring_from_cp1252(std::string(text, strnlen(text, shown_characters)).c_str());
}

QVariant StationListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) {
        return QVariant();
    }
    return section == id_column ? QStringLiteral("ID") : QStringLiteral("Description");
}

Qt::ItemFlags StationListModel::flags(const QModelIndex& index) const
{
    // Stations are edited in the station dialog, never in the list.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
