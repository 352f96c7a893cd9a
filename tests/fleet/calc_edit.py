#!/usr/bin/python3
"""Edits spreadsheets in LibreOffice Calc as an operator would, for the
fleet tool's end-to-end tests: opens each input, applies the operations to
its first sheet, saves the result. One headless office serves every job of
a run, since its start-up costs seconds.

    /usr/bin/python3 tests/fleet/calc_edit.py JOBS.json

Debian's own Python is needed: python3-uno is built for it.

JOBS.json:
{
  "profile": "/abs/folder",          optional; the office's user profile
                                     goes in profile/user, its HOME in
                                     profile/home, its output in
                                     profile/soffice.log. Default: a
                                     temporary folder, removed at the end.
  "timeout": 120,                    optional; seconds a job may take before
                                     the office is killed (and restarted for
                                     the next job)
  "jobs": [
    {"input": "/abs/in.csv",
     "output": "/abs/out.xlsx",
     "save_as": "xlsx" | "csv",
     "open_csv": "text" | "detect",  CSV input only. "text" (the default): every column
                                     imported as Text, as an operator who
                                     marks them so in the import dialog.
                                     "detect": the dialog as it comes, only
                                     ';' ticked: numbers are recognised, so
                                     "0612" becomes 612.
     "ops": [ ... ]}                 applied in order to the first sheet
  ]
}
CSV is read and written as `zantor-fleet list --csv` writes it: UTF-8,
';' separated, '"' quoted. Saving as CSV keeps the cells' contents as shown.

Columns are named by the text of their header cell in row 1; a row is
chosen by "id" (the text of its id cell), "row" (1-based sheet row) or
"last_row": true (the last used row). Operations:
  {"op": "sort", "column": C, "descending": false}
      Data > Sort of rows 2 to the last used row on all used columns.
  {"op": "filter", "column": C, "equals": "GSM DATA"}
      AutoFilter on the used area, showing only the rows whose cell shows
      that text; a second filter on another column narrows it further.
  {"op": "delete_row", ROW}           Delete Rows: the rows below move up.
  {"op": "copy_row", ROW, "to_end": true}
      copy of the whole row, values and formats, pasted to the first empty
      row below the data.
  {"op": "hide_column", "column": C}
  {"op": "hide_row", ROW}
  {"op": "type", ROW, "column": C, "text": "0612345678"}
      typed into the cell and entered: Calc reads it as it reads the input
      line, so a number in a General cell becomes a number, in a Text cell
      ("@") it stays text.
  {"op": "number_format", "column": C, "format": "00 00 00 00 00"}
      Format Cells > Numbers, user-defined, on the column's data cells.
  {"op": "insert_column", "after": C, "header": "notes", "values": {"12": "call first"}}
      a column of the operator's own; values typed by id.
  {"op": "rename_header", "column": C, "header": "Phone Nbr"}

Exit status 0 when every job was saved; otherwise 1 (2 for a job file that
cannot be used, or an office that cannot be started), each failure named on
stderr by its job and operation. A failed job writes no output.
"""

import csv
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import uuid

try:
    import uno
    from com.sun.star.beans import PropertyValue
    from com.sun.star.connection import NoConnectException
    from com.sun.star.lang import DisposedException, Locale
    from com.sun.star.table import CellAddress, CellRangeAddress, TableSortField
    from com.sun.star.sheet import TableFilterField
    from com.sun.star.uno import Exception as UnoException
    from com.sun.star.uno import RuntimeException as UnoRuntimeException
except ImportError as error:
    sys.exit("calc_edit: %s: run it with Debian's /usr/bin/python3, with python3-uno installed" % error)

CSV_FILTER = "Text - txt - csv (StarCalc)"
XLSX_FILTER = "Calc MS Excel 2007 XML"
# Separator ';' (59), quote '"' (34), UTF-8 (76), from line 1.
CSV_READ = "59,34,76,1"
# Then, to save: no column formats, the interface's language, quote only the
# texts that need it, numbers as numbers, the contents as shown, no formulas,
# spaces kept.
CSV_SAVE = CSV_READ + ",,0,false,true,true,false,false"
CONNECT_SECONDS = 60
FORMAT_TEXT = uno.getConstantByName("com.sun.star.util.NumberFormat.TEXT")
FORMAT_NUMBER = uno.getConstantByName("com.sun.star.util.NumberFormat.NUMBER")
# The typed number formats are read as an English-speaking operator writes them.
FORMAT_LOCALE = Locale("en", "US", "")


class JobError(Exception):
    """A job that cannot go on; the message says why, in the operator's terms."""


class OfficeError(Exception):
    """LibreOffice cannot be started or reached: no job can run."""


def prop(name, value):
    return PropertyValue(Name=name, Value=value)


def file_url(path):
    return uno.systemPathToFileUrl(os.path.abspath(path))


class Office:
    """One headless office with a profile of its own, reached through a named
    pipe that no other run shares."""

    def __init__(self, folder):
        self.folder = folder
        self.log_path = os.path.join(folder, "soffice.log")
        self.process = None
        self.context = self.smgr = self.desktop = None

    def start(self):
        profile = os.path.join(self.folder, "user")
        home = os.path.join(self.folder, "home")
        os.makedirs(profile, exist_ok=True)
        os.makedirs(home, exist_ok=True)
        pipe = "zantor_calc_%d_%s" % (os.getpid(), uuid.uuid4().hex[:12])
        env = dict(os.environ, HOME=home, LC_ALL="C.UTF-8", SAL_USE_VCLPLUGIN="svp")
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        soffice = shutil.which("soffice") or "/usr/lib/libreoffice/program/soffice"
        log = open(self.log_path, "ab")
        # A session of its own: the launcher and the office it starts form one
        # process group, killed together if they will not end.
        connection = "pipe,name=%s;urp;StarOffice.ComponentContext" % pipe
        self.process = subprocess.Popen(
            [soffice, "-env:UserInstallation=" + file_url(profile), "--headless", "--invisible", "--norestore",
             "--nologo", "--nodefault", "--nolockcheck", "--accept=" + connection],
            stdin=subprocess.DEVNULL, stdout=log, stderr=log, env=env, start_new_session=True)
        log.close()
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        deadline = time.monotonic() + CONNECT_SECONDS
        while True:
            try:
                context = resolver.resolve("uno:" + connection)
                break
            except NoConnectException:
                if self.process.poll() is not None:
                    raise OfficeError("it ended (status %d) before it could be reached%s"
                                      % (self.process.returncode, self.log_tail()))
                if time.monotonic() > deadline:
                    self.kill()
                    raise OfficeError("it could not be reached in %d s%s" % (CONNECT_SECONDS, self.log_tail()))
                time.sleep(0.2)
        self.context = context
        self.smgr = context.ServiceManager
        self.desktop = self.smgr.createInstanceWithContext("com.sun.star.frame.Desktop", context)
        # No lock files: another run may hold the same input open, and Calc
        # would then open it read-only, where typing is refused.
        provider = self.smgr.createInstanceWithContext("com.sun.star.configuration.ConfigurationProvider", context)
        misc = provider.createInstanceWithArguments("com.sun.star.configuration.ConfigurationUpdateAccess",
                                                    (prop("nodepath", "/org.openoffice.Office.Common/Misc"),))
        misc.setPropertyValue("UseLocking", False)
        misc.commitChanges()

    def log_tail(self):
        """What the office last wrote, less its stack frames."""
        try:
            with open(self.log_path, "rb") as log:
                lines = log.read()[-4000:].decode("utf-8", "replace").splitlines()
        except OSError:
            return ""
        said = [line for line in lines if line.strip() and not line.startswith("/") and "javaldx" not in line]
        return ("; it said: " + " ".join(said[-5:])) if said else ""

    def alive(self):
        if self.process is None or self.process.poll() is not None or self.desktop is None:
            return False
        try:
            self.desktop.getFrames()
            return True
        except (DisposedException, UnoRuntimeException):
            return False  # the launcher outlives an office that aborted

    def kill(self):
        if self.process is None:
            return
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()

    def stop(self):
        if self.process is None:
            return
        if self.alive():
            try:
                self.desktop.terminate()
            except (DisposedException, UnoRuntimeException, UnoException):
                pass  # the bridge goes down with the office
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            pass
        # The launcher may be gone while the office itself lingers.
        try:
            os.killpg(self.process.pid, 0)
            self.kill()
        except ProcessLookupError:
            pass
        self.process = None
        self.desktop = None


class Sheet:
    """The first sheet of a document, seen as the operator sees it: a header
    row, then one row per station."""

    def __init__(self, office, document):
        self.document = document
        self.formatter = office.smgr.createInstanceWithContext("com.sun.star.util.NumberFormatter", office.context)
        self.formatter.attachNumberFormatsSupplier(document)
        self.sheet = document.Sheets.getByIndex(0)
        self.index = 0

    def used_end(self):
        """(last column, last row), 0-based, of the cells that hold something."""
        cursor = self.sheet.createCursor()
        cursor.gotoEndOfUsedArea(False)
        end = cursor.getRangeAddress()
        # The used area counts formatted blank cells too; the operator's data
        # ends at the last cell with content.
        rows = self.sheet.getCellRangeByPosition(0, 0, end.EndColumn, end.EndRow).getDataArray()
        filled = [[value != "" for value in values] for values in rows]
        last_row = max((row for row, cells in enumerate(filled) if any(cells)), default=0)
        last_column = max((column for cells in filled for column, full in enumerate(cells) if full), default=0)
        return last_column, last_row

    def texts(self, column, first_row, last_row):
        """The cells of a column as the text an operator reads in them: a
        whole number without its ".0"."""
        values = self.sheet.getCellRangeByPosition(column, first_row, column, last_row).getDataArray()
        return [str(int(value)) if isinstance(value, float) and value.is_integer() else str(value)
                for (value,) in values]

    def column(self, name):
        last_column, _ = self.used_end()
        headers = list(self.sheet.getCellRangeByPosition(0, 0, last_column, 0).getDataArray()[0])
        if name not in headers:
            raise JobError("no column %r; the headers are %s" % (name, headers))
        if headers.count(name) > 1:
            raise JobError("%d columns are headed %r" % (headers.count(name), name))
        return headers.index(name)

    def row(self, op):
        """The 0-based row that op chooses by "id", "row" or "last_row"."""
        _, last_row = self.used_end()
        if "row" in op:
            row = op["row"]
            if not isinstance(row, int) or row < 1:
                raise JobError("row must be a sheet row number from 1, not %r" % (row,))
            return row - 1
        if op.get("last_row"):
            return last_row
        if "id" not in op:
            raise JobError('choose the row by "id", "row" or "last_row"')
        wanted = str(op["id"])
        ids = self.texts(self.column("id"), 1, max(last_row, 1))
        rows = [row for row, text in enumerate(ids, 1) if text == wanted]
        if not rows:
            raise JobError("no row has id %r" % wanted)
        if len(rows) > 1:
            raise JobError('id %r is on rows %s; choose one by "row"' % (wanted, [row + 1 for row in rows]))
        return rows[0]

    def data_range(self):
        """The header row and the data rows, on every used column."""
        last_column, last_row = self.used_end()
        return self.sheet.getCellRangeByPosition(0, 0, last_column, last_row)

    def type_into(self, column, row, text):
        # As Enter takes the input line: in a cell formatted as Text what was
        # typed stays text, even "0612" or "=1+1"; elsewhere "=..." becomes a
        # formula, a number a number, "'0612" the text 0612, the rest text.
        # setFormula alone would make a number in a Text cell too. (The
        # .uno:EnterString dispatch does exactly what Enter does, but sent
        # from outside the office's main thread it makes Calc 7.4 abort now
        # and then, when the machine is busy.)
        cell = self.sheet.getCellByPosition(column, row)
        kind = self.document.NumberFormats.getByKey(cell.NumberFormat).Type
        if text and kind & FORMAT_TEXT:
            cell.setString(text)
            return
        cell.setFormula(text)
        # A number cell takes the format the input was read in: a date, a
        # percentage, TRUE...
        if kind & FORMAT_NUMBER and cell.Type == uno.Enum("com.sun.star.table.CellContentType", "VALUE"):
            key = self.formatter.detectNumberFormat(cell.NumberFormat, text)
            if not self.document.NumberFormats.getByKey(key).Type & FORMAT_NUMBER:
                cell.NumberFormat = key


def op_sort(sheet, op):
    whole = sheet.data_range()
    column = sheet.column(op["column"])
    field = TableSortField(Field=column, IsAscending=not op.get("descending", False), IsCaseSensitive=False)
    # Data > Sort as it comes: the header row recognised as labels, the
    # formats moving with the contents.
    descriptor = whole.createSortDescriptor()
    wanted = {"SortFields": uno.Any("[]com.sun.star.table.TableSortField", (field,)),
              "ContainsHeader": True, "BindFormatsToContent": True, "IsSortColumns": False}
    descriptor = tuple(prop(p.Name, wanted.pop(p.Name)) if p.Name in wanted else p for p in descriptor)
    descriptor += tuple(prop(name, value) for name, value in wanted.items())
    uno.invoke(whole, "sort", (descriptor,))


def op_filter(sheet, op):
    whole = sheet.data_range()
    column = sheet.column(op["column"])
    unnamed = sheet.document.getPropertyValue("UnnamedDatabaseRanges")
    address = whole.getRangeAddress()
    kept = []
    if unnamed.hasByTable(sheet.index):
        database_range = unnamed.getByTable(sheet.index)
        if database_range.getDataArea() == address:
            kept = [field for field in database_range.getFilterDescriptor().getFilterFields() if field.Field != column]
    if not kept:
        unnamed.setByTable(address)
    database_range = unnamed.getByTable(sheet.index)
    database_range.AutoFilter = True
    field = TableFilterField(Field=column, Operator=uno.Enum("com.sun.star.sheet.FilterOperator", "EQUAL"),
                             IsNumeric=False, StringValue=str(op["equals"]))
    if kept:
        field.Connection = uno.Enum("com.sun.star.sheet.FilterConnection", "AND")
    descriptor = database_range.getFilterDescriptor()
    descriptor.ContainsHeader = True
    descriptor.setFilterFields(tuple(kept) + (field,))
    database_range.refresh()


def op_delete_row(sheet, op):
    sheet.sheet.Rows.removeByIndex(sheet.row(op), 1)


def op_copy_row(sheet, op):
    if op.get("to_end", True) is not True:
        raise JobError("a row is copied to the end of the data only")
    source = sheet.row(op)
    _, last_row = sheet.used_end()
    last_column = sheet.sheet.Columns.Count - 1
    sheet.sheet.copyRange(CellAddress(Sheet=sheet.index, Column=0, Row=last_row + 1),
                          CellRangeAddress(Sheet=sheet.index, StartColumn=0, StartRow=source,
                                           EndColumn=last_column, EndRow=source))


def op_hide_column(sheet, op):
    sheet.sheet.Columns.getByIndex(sheet.column(op["column"])).IsVisible = False


def op_hide_row(sheet, op):
    sheet.sheet.Rows.getByIndex(sheet.row(op)).IsVisible = False


def op_type(sheet, op):
    sheet.type_into(sheet.column(op["column"]), sheet.row(op), str(op["text"]))


def op_number_format(sheet, op):
    column = sheet.column(op["column"])
    _, last_row = sheet.used_end()
    if last_row < 1:
        raise JobError("the sheet has no data rows")
    formats = sheet.document.NumberFormats
    key = formats.queryKey(op["format"], FORMAT_LOCALE, False)
    if key == -1:
        try:
            key = formats.addNew(op["format"], FORMAT_LOCALE)
        except UnoException as error:
            raise JobError("Calc refuses the format %r: %s" % (op["format"], error.Message))
    sheet.sheet.getCellRangeByPosition(column, 1, column, last_row).NumberFormat = key


def op_insert_column(sheet, op):
    column = sheet.column(op["after"]) + 1
    sheet.sheet.Columns.insertByIndex(column, 1)
    sheet.type_into(column, 0, str(op["header"]))
    for id_text, text in op.get("values", {}).items():
        sheet.type_into(column, sheet.row({"id": id_text}), str(text))


def op_rename_header(sheet, op):
    sheet.type_into(sheet.column(op["column"]), 0, str(op["header"]))


OPERATIONS = {
    "sort": op_sort, "filter": op_filter, "delete_row": op_delete_row, "copy_row": op_copy_row,
    "hide_column": op_hide_column, "hide_row": op_hide_row, "type": op_type,
    "number_format": op_number_format, "insert_column": op_insert_column, "rename_header": op_rename_header,
}


def csv_columns(path):
    """How many fields the widest line of a CSV holds, quotes respected."""
    with open(path, encoding="utf-8-sig", newline="") as text:
        return max((len(fields) for fields in csv.reader(text, delimiter=";", quotechar='"')), default=1)


def open_document(office, job):
    path = job["input"]
    if not os.path.isfile(path):
        raise JobError("no input file %s" % path)
    options = [prop("Hidden", True), prop("ReadOnly", False)]
    if path.lower().endswith(".csv"):
        mode = job.get("open_csv", "text")
        if mode == "text":
            formats = "/".join("%d/2" % column for column in range(1, csv_columns(path) + 1))
        elif mode == "detect":
            formats = ""
        else:
            raise JobError('open_csv must be "text" or "detect", not %r' % (mode,))
        # Language as the interface's, quoted fields read like the others,
        # special numbers (dates, percentages...) left undetected: the
        # dialog's own choices.
        options += [prop("FilterName", CSV_FILTER),
                    prop("FilterOptions", "%s,%s,0,false,false" % (CSV_READ, formats))]
    document = office.desktop.loadComponentFromURL(file_url(path), "_blank", 0, tuple(options))
    if document is None or not document.supportsService("com.sun.star.sheet.SpreadsheetDocument"):
        if document is not None:
            document.close(True)
        raise JobError("Calc did not open %s as a spreadsheet" % path)
    if document.isReadonly():
        document.close(True)
        raise JobError("Calc opened %s read-only" % path)
    return document


def save_document(document, job):
    kind = job.get("save_as", "xlsx")
    if kind == "xlsx":
        options = [prop("FilterName", XLSX_FILTER)]
    elif kind == "csv":
        options = [prop("FilterName", CSV_FILTER), prop("FilterOptions", CSV_SAVE)]
    else:
        raise JobError('save_as must be "xlsx" or "csv", not %r' % (kind,))
    document.storeToURL(file_url(job["output"]), tuple(options + [prop("Overwrite", True)]))


def run_job(office, job):
    """Runs one job; raises JobError naming the step that failed."""
    step = "opening %s" % job["input"]
    document = None
    try:
        if os.path.exists(job["output"]):
            os.remove(job["output"])  # no earlier run's output may pass for this one's
        document = open_document(office, job)
        sheet = Sheet(office, document)
        for number, op in enumerate(job.get("ops", []), 1):
            step = "operation %d (%s)" % (number, op.get("op") if isinstance(op, dict) else op)
            if not isinstance(op, dict) or op.get("op") not in OPERATIONS:
                raise JobError("unknown operation; known: %s" % ", ".join(OPERATIONS))
            OPERATIONS[op["op"]](sheet, op)
        step = "saving %s" % job["output"]
        save_document(document, job)
    except JobError as error:
        raise JobError("%s: %s" % (step, error))
    except KeyError as error:
        raise JobError("%s: %s is missing" % (step, error))
    except (UnoException, UnoRuntimeException) as error:
        raise JobError("%s: LibreOffice: %s %s" % (step, type(error).__name__, getattr(error, "Message", error)))
    except Exception as error:  # a value of the wrong kind in the job, mostly
        raise JobError("%s: %s: %s" % (step, type(error).__name__, error))
    finally:
        if document is not None and office.alive():
            try:
                document.close(True)
            except (UnoException, UnoRuntimeException):
                pass


def load_jobs(path):
    try:
        with open(path, encoding="utf-8") as text:
            spec = json.load(text)
    except (OSError, ValueError) as error:
        raise JobError("%s: %s" % (path, error))
    jobs = spec.get("jobs") if isinstance(spec, dict) else None
    if not isinstance(jobs, list) or not jobs:
        raise JobError('%s: expected {"jobs": [...]} with at least one job' % path)
    for number, job in enumerate(jobs, 1):
        if not isinstance(job, dict) or not all(isinstance(job.get(key), str) for key in ("input", "output")):
            raise JobError("%s: job %d needs \"input\" and \"output\" paths" % (path, number))
    return spec


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        spec = load_jobs(argv[1])
    except JobError as error:
        print("calc_edit: %s" % error, file=sys.stderr)
        return 2
    # Ended by the test's time limit: the office goes too (see finally).
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(128 + signum))
    temporary = None
    folder = spec.get("profile")
    if not folder:
        folder = temporary = tempfile.mkdtemp(prefix="calc_edit_")
    timeout = spec.get("timeout", 120)
    office = Office(os.path.abspath(folder))
    failures = 0
    try:
        for number, job in enumerate(spec["jobs"], 1):
            name = "job %d (%s)" % (number, os.path.basename(job["input"]))
            if not office.alive():
                office.stop()
                starting = time.monotonic()
                office.start()
                print("calc_edit: LibreOffice ready in %.1f s" % (time.monotonic() - starting))
            job_started = time.monotonic()
            watchdog = threading.Timer(timeout, office.kill)
            watchdog.start()
            try:
                run_job(office, job)
                if not office.alive():
                    raise JobError("LibreOffice ended during the job%s" % office.log_tail())
                print("calc_edit: %s done in %.2f s" % (name, time.monotonic() - job_started))
            except JobError as error:
                failures += 1
                late = " (LibreOffice killed after %g s)" % timeout if time.monotonic() - job_started >= timeout else ""
                print("calc_edit: %s failed: %s%s" % (name, error, late), file=sys.stderr)
            finally:
                watchdog.cancel()
    except (OfficeError, OSError) as error:
        print("calc_edit: LibreOffice cannot be started: %s" % error, file=sys.stderr)
        return 2
    finally:
        office.stop()
        if temporary:
            shutil.rmtree(temporary, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
