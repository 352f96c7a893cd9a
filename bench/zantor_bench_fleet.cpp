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
        read_sequence(parts.seq_slow, choices);
        choices.channels[0].selected = !choices.channels[0].selected;
        rebuild_sequence(parts.seq_slow, choices);
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

// Seconds of processor time (user and system) that `program` with `args`
// takes, its output to /dev/null. Processor time rather than the clock: on
// a machine shared with other builds, a process waiting for a core would
// count that wait, and runs of the same command varied by a third.
double process_seconds(const char* program, const std::vector<std::string>& args, int expected_status)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execv(program, argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        give_up(std::string("cannot run ") + program);
    }
    const double seconds =
        usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != expected_status) {
        give_up(std::string(program) + " " + args[0] + " ended with status " + std::to_string(status));
    }
    return seconds;
}

void medians(int runs, const std::function<double()>& measure, const std::function<double()>& floor,
             double& measure_median, double& floor_median)
{
    std::vector<double> measures, floors;
    measure();  // one round unmeasured: the files in the page cache
    floor();
    for (int run = 0; run < runs; ++run) {
        measures.push_back(measure());
        floors.push_back(floor());
    }
    measure_median = median(measures);
    floor_median = median(floors);
}

}  // namespace

FleetToolFigures measure_fleet_tool(const std::string& fleet_file, const std::string& scratch_dir, int runs)
{
    FleetToolFigures figures;
    const std::string changed = write_changed_copy(fleet_file, scratch_dir);
    // The fleet holds thresholds typed with a comma, so check warns (status 1).
    medians(
        runs,
        [&] {
            return process_seconds(ZANTOR_FLEET_PROGRAM, {"check", fleet_file}, 1);
        },
        [&] { return process_seconds(ZANTOR_FLEET_FLOOR, {fleet_file}, 0); }, figures.check, figures.check_floor);
    medians(
        runs,
        [&] {
            return process_seconds(ZANTOR_FLEET_PROGRAM, {"diff", fleet_file, changed}, 1);
        },
        [&] {
            return process_seconds(ZANTOR_FLEET_FLOOR, {fleet_file, changed}, 0);
        },
        figures.diff, figures.diff_floor);
    // Both write a new file each run, so every run changes every station.
    const std::string written = scratch_dir + "/fleet_written.xml";
    medians(
        runs,
        [&] {
            return process_seconds(
                ZANTOR_FLEET_PROGRAM,
                {"apply", fleet_file, "--from", "1000", "--all", "--parts", "sequences", "--output", written}, 0);
        },
        [&] {
            return process_seconds(ZANTOR_FLEET_FLOOR, {"--save", written, fleet_file}, 0);
        },
        figures.apply, figures.apply_floor);
    const std::string csv = write_apn_csv(fleet_file, scratch_dir);
    medians(
        runs,
        [&] {
            return process_seconds(ZANTOR_FLEET_PROGRAM, {"import-csv", fleet_file, csv, "--output", written}, 0);
        },
        [&] {
            return process_seconds(ZANTOR_FLEET_FLOOR, {"--save", written, fleet_file}, 0);
        },
        figures.import, figures.import_floor);
    std::remove(written.c_str());
    std::remove(csv.c_str());
    std::remove(changed.c_str());
    return figures;
}
