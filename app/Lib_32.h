// Desktop utilities of the editor: the folder chooser behind the Browse...
// buttons of the directory tab.
#ifndef ZANTOR_APP_LIB_32_H
#define ZANTOR_APP_LIB_32_H

// Lets the operator choose an existing folder, starting at `initial_path`
// (Windows-1252, trailing separators ignored). True when a folder was chosen
// and its path, with its terminating zero, fits into the `capacity`
// characters of `result`; the path is then in `result`. False when the
// operator cancelled, when the path does not fit (`result` is left empty),
// and at once, with no dialog shown, when `result` or `initial_path` is null.
bool choose_folder(char* result, int capacity, const char* initial_path);

#endif
