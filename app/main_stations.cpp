// The "NUXOs" tab: the list of the document's stations and its commands.
#include <QItemSelectionModel>

#include "app/main.h"
#include "app/station_grid.h"
#include "app/station_list_model.h"
#include "station/edit_nuxo1f.h"

void TFmain::fill_station_list()
{
    station_list->rebuild(node_stations);
    StringGrid_stations->keep_a_current_row();
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

void TFmain::select_station(const TiXmlElement* station)
{
    const int row = station_list->row_of(station);
    if (row < 0) {
        return;
    }
    StringGrid_stations->selectRow(row);
    StringGrid_stations->scrollTo(station_list->index(row, 0));
}

bool TFmain::run_station_dialog(TiXmlElement* station)
{
    return Fedit != nullptr && Fedit->edit_station(station);
}

void TFmain::Button5Click()
{
    if (node_stations == nullptr) {
        return;
    }
    store_edits();
    TiXmlElement* station = xml_add_child(node_stations, "STATION");
    if (run_station_dialog(station)) {
        modified = true;
    } else {
        // A new station the operator cancelled must not stay behind as an
        // empty record in the file the stations' software reads.
        xml_remove_child(node_stations, station);
        station = nullptr;
    }
    show_document();
    select_station(station);
}

TiXmlElement* TFmain::station_to_act_on()
{
    TiXmlElement* station = selected_station();
    if (station != nullptr) {
        store_edits();
    }
    return station;
}

void TFmain::Button7Click()
{
    TiXmlElement* station = station_to_act_on();
    if (station == nullptr) {
        return;
    }
    if (run_station_dialog(station)) {
        modified = true;
    }
    // The station dialog rewrites the station's content, never the list of
    // stations: redrawing its row is all the list needs, and Edit stays as
    // quick with ten thousand stations as with ten.
    station_list->station_changed(station);
    show_edits();
    select_station(station);
}

void TFmain::Button6Click()
{
    TiXmlElement* station = station_to_act_on();
    if (station == nullptr) {
        return;
    }
    const int row = station_list->row_of(station);
    // No question is asked: the station is gone at once, and only the next
    // save makes that permanent.
    modified = true;
    xml_clear(station);
    xml_remove_child(node_stations, station);
    show_document();
    // The list keeps its place: the station that took the deleted one's row
    // (the new last one when the last went) is selected and in view, never
    // one at the top that the operator did not choose.
    StringGrid_stations->go_to_row(row);
}
