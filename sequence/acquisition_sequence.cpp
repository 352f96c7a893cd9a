#include "sequence/acquisition_sequence.h"

TFacquisition_sequence* Facquisition_sequence = nullptr;

TFacquisition_sequence::TFacquisition_sequence(QWidget* parent) : QDialog(parent) {}

TFacquisition_sequence::~TFacquisition_sequence() = default;

void TFacquisition_sequence::execute(TiXmlElement* sequence, bool show_thresholds, const char* caption)
{
    (void)sequence;
    (void)show_thresholds;
    (void)caption;
}

void edit_sequence(TiXmlElement* sequence, bool show_thresholds, const char* caption)
{
    if (Facquisition_sequence != nullptr) {
        Facquisition_sequence->execute(sequence, show_thresholds, caption);
    }
}
