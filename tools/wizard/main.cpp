// quarndb-wizard-build TEMPLATES.txt OUT.quarn
// Turns the readable player templates into the wizard.quarn the editor reads.

#include <cstdio>
#include <fstream>
#include <sstream>

#include "WizardTemplates.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: quarndb-wizard-build TEMPLATES.txt OUT.quarn\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    try {
        const auto bytes = wizard::encodeWizardFile(wizard::parseTemplates(text.str()));
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const wizard::ParseError& e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}
