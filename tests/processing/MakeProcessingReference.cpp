// Writes the processing reference from the code as it is, to the file named
// on the command line or to the one the test reads. Run it only when a change
// of the processing results is intended, and say so in the commit.
#include <fstream>
#include <iostream>

#include "ProcessingReference.h"

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : kelm::test::ReferencePath();
    std::string error;
    const kelm::test::Reference reference = kelm::test::MeasureReference(error);
    if (!error.empty()) {
        std::cerr << "make_processing_reference: " << error << "\n";
        return 1;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << kelm::test::FormatReference(reference);
    out.close();
    if (!out) {
        std::cerr << "make_processing_reference: " << path << " could not be written\n";
        return 1;
    }
    std::cout << reference.lines.size() << " cases and " << reference.whole.size()
              << " whole runs written to " << path << "\n";
    return 0;
}
