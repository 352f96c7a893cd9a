// The rows of the station list: one per STATION element of STATIONS, in
// document order. A row keeps only its element; the station's id and
// description are read when the view asks for them, so rebuilding the list
// of a fleet of thousands of stations costs one walk over STATIONS.
#ifndef ZANTOR_APP_STATION_LIST_MODEL_H
#define ZANTOR_APP_STATION_LIST_MODEL_H

#include <QAbstractTableModel>
#include <vector>

#include "doc/Lib_xml.h"

class StationListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { id_column = 0, description_column = 1, column_count = 2 };

    using QAbstractTableModel::QAbstractTableModel;

    // Lists the children of `stations` named STATION in any letter case;
    // other children are not listed. A null `stations` gives an empty list.
    void rebuild(const TiXmlElement* stations);
    // The station of a row; null outside the list. Valid until the next
    // rebuild, since the element belongs to the document.
    TiXmlElement* station(int row) const;
    // The row of `station`, or -1 when it is not listed.
    int row_of(const TiXmlElement* station) const;
    // Redraws the row of `station`, whose content changed while the list of
    // stations stayed as it was; nothing when it is not listed.
    void station_changed(const TiXmlElement* station);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<TiXmlElement*> stations;
};

#endif
