// A second running copy for the end-marker tests: it marks itself as running on the
// settings folder given, prints how it judged the last run ("clean", "unclean" or
// "another copy running"), and then follows stdin: "end" marks a clean end and prints
// "ended"; a closed stdin makes it exit without one, as a killed copy would.

#include "lifecycle/end_marker.h"

#include <iostream>
#include <string>

int main(int argc, char *argv[])
{
    using numora::lifecycle::PreviousEnd;
    if (argc != 2)
        return 2;
    numora::lifecycle::RunningMarker marker;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    switch (marker.markRunning(folder)) {
    case PreviousEnd::Clean:
        std::cout << "clean" << std::endl;
        break;
    case PreviousEnd::Unclean:
        std::cout << "unclean" << std::endl;
        break;
    case PreviousEnd::AnotherCopyRunning:
        std::cout << "another copy running" << std::endl;
        break;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == "end") {
            std::cout << (marker.markEndedCleanly(folder) ? "ended" : "failed") << std::endl;
            return 0;
        }
    }
    return 0;
}
