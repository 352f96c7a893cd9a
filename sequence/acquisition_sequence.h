// The modal dialog that edits one acquisition sequence of a station as a set
// of choices: which channels to measure, with which alarm threshold, the
// battery voltage with its end-of-life check, and what to do when a
// threshold passes. The rows of channels are generated from the catalogue.
#ifndef ZANTOR_SEQUENCE_ACQUISITION_SEQUENCE_H
#define ZANTOR_SEQUENCE_ACQUISITION_SEQUENCE_H

#include <QDialog>

#include <tinyxml.h>

class TFacquisition_sequence : public QDialog {
    Q_OBJECT

public:
    explicit TFacquisition_sequence(QWidget* parent = nullptr);
    ~TFacquisition_sequence() override;

    // The modal editing run: loads `sequence` into the controls and, on OK,
    // regenerates it from them. Nothing is shown when `sequence` is null.
    void execute(TiXmlElement* sequence, bool show_thresholds, const char* caption);
};

// The one instance, created hidden at start-up; null until then.
extern TFacquisition_sequence* Facquisition_sequence;

// Opens the dialog on `sequence`; does nothing when the dialog does not exist.
void edit_sequence(TiXmlElement* sequence, bool show_thresholds, const char* caption);

#endif
