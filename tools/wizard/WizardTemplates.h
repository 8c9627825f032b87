#pragma once

// The player templates of wizard.quarn, kept as readable text in the
// repository and turned into the binary file during the build.
//
// Text format, one item per line ('#' starts a comment):
//   default <n>            base for every attribute a template leaves out
//   template <name>        starts a template (at most 50 characters)
//   <Field>=<n> ...        position ratings (Goalkeeper ... FreeRole) and
//                          attribute bases (Acceleration ... WorkRate), by
//                          their player record names; ratings left out are 1

#include <stdexcept>
#include <string>
#include <vector>

#include "db/format/Records.h"

namespace wizard {

class ParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws ParseError naming the line for anything it does not understand.
std::vector<db::WizardTemplate> parseTemplates(const std::string& text);

// The bytes of wizard.quarn: a signed 16-bit count, then the records.
std::vector<std::uint8_t> encodeWizardFile(const std::vector<db::WizardTemplate>& templates);

}  // namespace wizard
