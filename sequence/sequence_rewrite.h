// What the sequence dialog's OK does to a stored sequence that is not in the
// form the editor writes: it writes the canonical commands of the choices it
// read, so every command the reader does not take is dropped.
#ifndef ZANTOR_SEQUENCE_SEQUENCE_REWRITE_H
#define ZANTOR_SEQUENCE_SEQUENCE_REWRITE_H

#include <string>
#include <vector>

#include "doc/Lib_xml.h"
#include "sequence/sequence_format.h"

struct SequenceRewrite {
    // OK would store other commands or attributes than the sequence holds
    // (also when only their order, letter case or number form changes).
    bool rewritten = false;
    // What would be lost, one text per command or attribute, in document
    // text; empty when the rewrite keeps every choice and command.
    std::vector<std::string> losses;
};

// Compares `sequence` with the canonical commands of `choices`, which must
// be what read_sequence made of it (after reset_choices).
SequenceRewrite sequence_rewrite(const TiXmlElement* sequence, const SequenceChoices& choices);

#endif
