#include "fleet/station/station_row.h"

#include "doc/cp1252.h"
#include "fleet/station/row_key.h"
#include "fleet/station/sequence_text.h"
#include "fleet/station/stations.h"

namespace {

std::string choices_text(const TiXmlElement* sequence)
{
    SequenceChoices choices;
    read_sequence(sequence, choices);
    return sequence_text(choices);
}

}  // namespace

const char* list_column_name(int column)
{
    if (column >= 0 && column < station_field_count) {
        return station_fields[column].column;
    }
    return column >= station_field_count && column < list_column_count
               ? sequence_roles[column - station_field_count].column
               : "";
}

const std::vector<int>& table_columns()
{
    static const std::vector<int> columns = {field_id,           field_description,  field_phone_nbr,
                                             field_gsm_mode,     field_sms_number,   field_acq_interval0,
                                             field_gsm_interval, station_field_count};  // then slow
    return columns;
}

std::string shown_secret(const std::string& value, bool show_secrets)
{
    return show_secrets || value.empty() ? value : "****";
}

std::vector<std::string> station_row(TiXmlElement* station, bool show_secrets)
{
    const CompletedStation completed(station);
    const StationValues values = load_station_values(completed.element(), completed.parts());
    std::vector<std::string> row(values.text, values.text + station_field_count);
    row[field_id] = xml_get_attr_text(station, "id");
    for (int id = 0; id < station_field_count; ++id) {
        if (station_fields[id].is_secret()) {
            row[id] = shown_secret(row[id], show_secrets);
        }
    }
    const StationParts& parts = completed.parts();
    for (int role = 0; role < sequence_role_count; ++role) {
        row.push_back(choices_text(parts.sequence(role)));
    }
    return row;
}

std::vector<std::vector<std::string>> list_rows(myXMLdocument& document, bool show_secrets, bool keyed)
{
    std::vector<std::vector<std::string>> rows(1);
    for (int column = 0; column < list_column_count; ++column) {
        rows[0].push_back(list_column_name(column));
    }
    if (keyed) {
        rows[0].push_back(key_column_name);
    }
    int position = 0;
    for (TiXmlElement* station : listed_stations(document)) {
        std::vector<std::string> row = station_row(station, show_secrets);
        const std::string key = key_text(RowKey{++position, show_secrets, row_fingerprint(row)});
        for (std::string& cell : row) {
            cell = utf8_from_cp1252(visible_text(cell));
        }
        if (keyed) {
            row.push_back(key);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}
