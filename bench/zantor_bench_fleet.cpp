#include "bench/zantor_bench_fleet.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "bench/zantor_bench_timing.h"  // median
#include "doc/Lib_xml.h"
#include "fleet/formats/workbook_writer.h"
#include "fleet/station/row_key.h"
#include "fleet/station/station_row.h"
#include "sequence/sequence_format.h"
#include "station/station_record.h"
#include "station/station_values.h"

namespace {

const int changed_stations = 100;

[[noreturn]] void give_up(const std::string& why)
{
    std::fprintf(stderr, "zantor_bench: %s\n", why.c_str());
    std::exit(1);
}

// The same fleet with every hundredth station edited as an operator would:
// a longer GSM duration, another description, one more or one less channel
// in its Slow sequence.
std::string write_changed_copy(const std::string& fleet_file, const std::string& scratch_dir)
{
    myXMLdocument document(nullptr);
    if (document.load_file(fleet_file.c_str()) == nullptr) {
        give_up("cannot load " + fleet_file + ": " + document.error_text());
    }
    int index = 0, changed = 0;
    for (TiXmlElement* station = xml_first_child(document.find_path("/STATIONS"));
         station != nullptr && changed < changed_stations; station = xml_next_sibling(station), ++index) {
        if (index % 100 != 0) {
            continue;
        }
        StationParts parts = complete_station_defaults(station);
        set_parameter_text(parts.cfg_parameters, "GSM_DURATION", "value", "900");
        const std::string description = std::string(xml_get_attr_text(station, "description")) + " (moved)";
        xml_set_attr(station, "description", description.c_str());
        SequenceChoices choices;
        read_sequence(parts.sequence(role_slow), choices);
        choices.channels[0].selected = !choices.channels[0].selected;
        rebuild_sequence(parts.sequence(role_slow), choices);
        ++changed;
    }
    const std::string copy = scratch_dir + "/fleet_changed.xml";
    if (document.save_file(copy.c_str())) {
        give_up("cannot write " + copy + ": " + document.error_text());
    }
    return copy;
}

// A CSV that gives every station of the fleet another access point, as an
// operator's spreadsheet would after a change of mobile operator.
std::string write_apn_csv(const std::string& fleet_file, const std::string& scratch_dir)
{
    myXMLdocument document(nullptr);
    if (document.load_file(fleet_file.c_str()) == nullptr) {
        give_up("cannot load " + fleet_file + ": " + document.error_text());
    }
    std::string csv = "id;apn_name\r\n";
    for (TiXmlElement* station = xml_first_child(document.find_path("/STATIONS")); station != nullptr;
         station = xml_next_sibling(station)) {
        csv += std::string(xml_get_attr_text(station, "id")) + ";apn.moved.example\r\n";
    }
    const std::string file = scratch_dir + "/new_apn.csv";
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr || std::fwrite(csv.data(), 1, csv.size(), out) != csv.size() || std::fclose(out) != 0) {
        give_up("cannot write " + file);
    }
    return file;
}

// The list of the fleet as list --xlsx writes it, with every tenth
// station's APN changed as an operator types it: `three_way` holds the
// hidden sheet of the rows as listed, `keyed` the same rows without it.
void write_changed_workbooks(const std::string& fleet_file, const std::string& three_way, const std::string& keyed)
{
    myXMLdocument document(nullptr);
    if (document.load_file(fleet_file.c_str()) == nullptr) {
        give_up("cannot load " + fleet_file + ": " + document.error_text());
    }
    const std::vector<std::vector<std::string>> rows = list_rows(document, false, true);
    const std::vector<std::vector<std::string>> listed = listed_sheet_rows(rows);
    std::vector<std::vector<std::string>> changed = rows;
    for (size_t r = 1; r < changed.size(); r += 10) {
        changed[r][field_apn_name] = "apn.moved.example";
    }
    std::string error;
    if (!write_xlsx(three_way, {{"Stations", &changed, {}, false}, {listed_sheet_name, &listed, {}, true}}, error) ||
        !write_xlsx(keyed, {{"Stations", &changed, {}, false}}, error)) {
        give_up("cannot write the workbooks: " + error);
    }
}

struct ProcessCost {
    double seconds = 0;  // processor time, user and system
    long peak_kib = 0;   // peak resident memory
};

// What `program` with `args` costs, its output to /dev/null. Processor time
// rather than the clock: on a machine shared with other builds, a process
// waiting for a core would count that wait, and runs of the same command
// varied by a third.
ProcessCost process_cost(const char* program, const std::vector<std::string>& args, int expected_status,
                         const char* output = "/dev/null")
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int null = open(output, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(null, STDOUT_FILENO);
        execv(program, argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        give_up(std::string("cannot run ") + program);
    }
    ProcessCost cost;
    cost.seconds =
        usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    cost.peak_kib = usage.ru_maxrss;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != expected_status) {
        give_up(std::string(program) + " " + args[0] + " ended with status " + std::to_string(status));
    }
    return cost;
}

// The medians of `runs` runs of each, taking turns, after one round
// unmeasured (the files in the page cache).
std::vector<ProcessCost> medians(int runs, const std::vector<std::function<ProcessCost()>>& commands)
{
    std::vector<std::vector<double>> seconds(commands.size()), kib(commands.size());
    for (const auto& command : commands) {
        command();
    }
    for (int run = 0; run < runs; ++run) {
        for (size_t i = 0; i < commands.size(); ++i) {
            const ProcessCost cost = commands[i]();
            seconds[i].push_back(cost.seconds);
            kib[i].push_back(static_cast<double>(cost.peak_kib));
        }
    }
    std::vector<ProcessCost> result(commands.size());
    for (size_t i = 0; i < commands.size(); ++i) {
        result[i].seconds = median(seconds[i]);
        result[i].peak_kib = static_cast<long>(median(kib[i]));
    }
    return result;
}

std::function<ProcessCost()> fleet_process(const std::vector<std::string>& args, int expected_status)
{
    return [=] { return process_cost(ZANTOR_FLEET_PROGRAM, args, expected_status); };
}

std::function<ProcessCost()> floor_process(const std::vector<std::string>& args)
{
    return [=] { return process_cost(ZANTOR_FLEET_FLOOR, args, 0); };
}

}  // namespace

FleetToolFigures measure_fleet_tool(const std::string& fleet_file, const std::string& scratch_dir, int runs)
{
    FleetToolFigures figures;
    const std::string changed = write_changed_copy(fleet_file, scratch_dir);
    // The fleet holds thresholds typed with a comma, so check warns (status 1).
    std::vector<ProcessCost> m =
        medians(runs, {fleet_process({"check", fleet_file}, 1), floor_process({fleet_file}),
                       floor_process({"--open", fleet_file}), fleet_process({"list", fleet_file}, 0)});
    figures.check = m[0].seconds;
    figures.check_floor = m[1].seconds;
    figures.open = m[2].seconds;
    figures.list = m[3].seconds;
    m = medians(runs, {fleet_process({"diff", fleet_file, changed}, 1), floor_process({fleet_file, changed}),
                       floor_process({"--open", fleet_file, changed})});
    figures.diff = m[0].seconds;
    figures.diff_floor = m[1].seconds;
    figures.two_opens = m[2].seconds;
    figures.diff_kib = m[0].peak_kib;
    figures.two_opens_kib = m[2].peak_kib;
    // Both write a new file each run, so every run changes every station.
    const std::string written = scratch_dir + "/fleet_written.xml";
    m = medians(
        runs,
        {fleet_process({"apply", fleet_file, "--from", "1000", "--all", "--parts", "sequences", "--output", written},
                       0),
         floor_process({"--save", written, fleet_file}), floor_process({"--open", "--save", written, fleet_file})});
    figures.apply = m[0].seconds;
    figures.apply_floor = m[1].seconds;
    figures.open_save = m[2].seconds;
    const std::string csv = write_apn_csv(fleet_file, scratch_dir);
    m = medians(runs, {fleet_process({"import-csv", fleet_file, csv, "--output", written}, 0),
                       floor_process({"--save", written, fleet_file}),
                       floor_process({"--open", "--save", written, fleet_file})});
    figures.import = m[0].seconds;
    figures.import_floor = m[1].seconds;
    figures.import_open_save = m[2].seconds;
    // The whole list as a workbook and as CSV, then read back by import.
    const std::string list_xlsx = scratch_dir + "/list.xlsx", list_csv = scratch_dir + "/list.csv";
    process_cost(ZANTOR_FLEET_PROGRAM, {"list", fleet_file, "--csv"}, 0, list_csv.c_str());
    m = medians(runs, {fleet_process({"list", fleet_file, "--xlsx", list_xlsx}, 0),
                       fleet_process({"list", fleet_file, "--csv"}, 0)});
    figures.list_xlsx = m[0].seconds;
    figures.list_csv = m[1].seconds;
    m = medians(runs, {fleet_process({"import", fleet_file, list_xlsx}, 0),
                       fleet_process({"import", fleet_file, list_csv}, 0)});
    figures.import_xlsx = m[0].seconds;
    figures.import_csv = m[1].seconds;
    const std::string three_way = scratch_dir + "/three_way.xlsx", keyed = scratch_dir + "/keyed.xlsx";
    write_changed_workbooks(fleet_file, three_way, keyed);
    m = medians(runs, {fleet_process({"import", fleet_file, three_way, "--output", written}, 0),
                       fleet_process({"import", fleet_file, keyed, "--output", written}, 0)});
    figures.import_3way = m[0].seconds;
    figures.import_keyed = m[1].seconds;
    std::remove(three_way.c_str());
    std::remove(keyed.c_str());
    std::remove(list_xlsx.c_str());
    std::remove(list_csv.c_str());
    std::remove(written.c_str());
    std::remove(csv.c_str());
    std::remove(changed.c_str());
    return figures;
}
