#include "platform/Platform.h"
#include "app/VantrelApplication.h"

#include <iostream>

// The framework's own entry point, with one check first: without a display its GUI would
// crash in the first window's constructor.
JUCE_CREATE_APPLICATION_DEFINE (VantrelApplication)

int main (int argc, char* argv[])
{
    if (const auto problem = Platform::findDisplayProblem(); problem.isNotEmpty())
    {
        std::cerr << problem << std::endl;
        return 1;
    }
    juce::JUCEApplicationBase::createInstance = &juce_CreateApplication;
    return juce::JUCEApplicationBase::main (argc, const_cast<const char**> (argv));
}
