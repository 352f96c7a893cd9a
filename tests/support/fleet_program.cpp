#include "support/fleet_program.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdio>
#include <cstdlib>

#include "support/core_files.h"
#include "support/test_paths.h"

ProgramRun run_fleet_program(const std::string& folder, const std::vector<std::string>& args)
{
#ifdef _WIN32
    const char quote = '"';
    std::string command = "cd /d ";  // also changes the drive
#else
    const char quote = '\'';
    std::string command = "cd ";
#endif
    command += quote + folder + quote + " && " + quote + ZANTOR_FLEET_PROGRAM + quote;
    for (const std::string& arg : args) {
        command += ' ' + (quote + arg + quote);
    }
    command += " > stdout.txt 2> stderr.txt";
    ProgramRun result;
    // A run that never started must not pass off the last run's output.
    std::remove((folder + "/stdout.txt").c_str());
    std::remove((folder + "/stderr.txt").c_str());
    int status = std::system(command.c_str());
#ifdef _WIN32
    // Under Wine on a busy machine the command processor itself now and
    // then fails to start (-1), or fails to start the program (9009, its
    // "not recognized"), before the program runs: start it again.
    const int program_not_started = 9009;
    for (int attempt = 1; (status == -1 || status == program_not_started) && attempt < 3; ++attempt) {
        status = std::system(command.c_str());
    }
    result.status = status;
#else
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    result.out = read_bytes(folder + "/stdout.txt");
    result.err = read_bytes(folder + "/stderr.txt");
    return result;
}

std::string station(const char* id, const char* description, const char* gsm_duration, const char* apn_password)
{
    return std::string("<STATION id=\"") + id + "\" phone_nbr=\"+3361000000" + id + "\" pin=\"1234\" description=\"" +
           description +
           "\"><CONFIGURATION value=\"0\">"
           "<SYSCTRL acq_enabled=\"on\" acq_automatic=\"on\" acq_dump=\"on\" flash_store=\"on\" acq_on_ring=\"off\" "
           "acq_fast_interval=\"on\" gsm_enabled=\"on\" gsm_call=\"off\" gprs=\"off\" call_on_ring=\"off\" "
           "time_zone=\"2\"/><HTTP_HOST host=\"data.kestrane.example\" port=\"80\"/>"
           "<HTTP_URL value=\"/gprs/default.php\"/><USERNAME value=\"kestrane\"/><PASSWORD value=\"pqwz\"/>"
           "<GPRS_APN_USERNAME value=\"\"/><GPRS_APN_PASSWORD value=\"" +
           apn_password +
           "\"/><GPRS_APN_NAME value=\"internet.operator.example\"/>"
           "<ACQ_INTERVAL0 value=\"900\"/><ACQ_INTERVAL1 value=\"300\"/><GSM_INTERVAL value=\"86400\"/>"
           "<GSM_DURATION value=\"" +
           gsm_duration +
           "\"/><GSM_SMS_DURATION value=\"900\"/><SMS_NUMBER value=\"0600000000\"/>"
           "<SMS_TEXT_ACQ value=\"ALARM ! NUXO \"/><SMS_TEXT_EOL value=\"Low Bat. NUXO \"/>"
           "<SYSTEM_CONFIG filter=\"4\" acq_number=\"0\" gsm_number=\"0\"/><PIN_CODE value=\"1234\"/>"
           "</CONFIGURATION><CONFIGURATION value=\"1\">"
           "<ACQUISITION_SEQUENCE value=\"0\"><PROBES_POWER state=\"1\"/><ACQ_VBAT channel=\"0\"/>"
           "<ACQ header=\"168\" port=\"0\" channel=\"9\" timeout=\"3\" compare=\"ge\" threshold=\"100\"/>"
           "<PROBES_POWER state=\"0\"/><CONDITIONAL_SMS/></ACQUISITION_SEQUENCE>"
           "<ACQUISITION_SEQUENCE value=\"1\"><PROBES_POWER state=\"1\"/><ACQ_VBAT channel=\"0\"/>"
           "<PROBES_POWER state=\"0\"/></ACQUISITION_SEQUENCE>"
           "<ACQUISITION_SEQUENCE value=\"2\"/></CONFIGURATION></STATION>\n";
}

std::string settings(const std::string& stations)
{
    return "<SETUP>\n<PATH_DATA_BIN path=\"c:\\data\"/><PATH_DATA_XML path=\"c:\\xml\"/><PATH_STATUS_LOG "
           "path=\"c:\\log\"/>\n"
           "<COMPORTS><COMPORT port=\"COM1\" type=\"direct\"/><COMPORT port=\"COM2\" type=\"modem\"/></COMPORTS>\n"
           "<STATIONS>\n" +
           stations + "</STATIONS>\n</SETUP>\n";
}
