// The "NUXOs" tab: the list of the document's stations and its commands.
#include <QItemSelectionModel>
#include <QTableView>

#include "app/main.h"
#include "app/station_list_model.h"

void TFmain::fill_station_list()
{
    station_list->rebuild(node_stations);
}

TiXmlElement* TFmain::selected_station() const
{
    // With several rows selected the commands act on the topmost one.
    int topmost = -1;
    for (const QModelIndex& index : StringGrid_stations->selectionModel()->selectedIndexes()) {
        if (topmost < 0 || index.row() < topmost) {
            topmost = index.row();
        }
    }
    return station_list->station(topmost);
}

void TFmain::Button5Click()
{
    // Adds a station through the station dialog, which comes with station editing.
}

void TFmain::Button7Click()
{
    // Opens the selected station in the station dialog, which comes with station editing.
}

void TFmain::Button6Click()
{
    TiXmlElement* station = selected_station();
    if (station == nullptr) {
        return;
    }
    // No question is asked: the station is gone at once, and only the next
    // save makes that permanent.
    modified = true;
    store_edits();
    xml_clear(station);
    xml_remove_child(node_stations, station);
    show_document();
}
