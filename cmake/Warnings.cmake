# Warning flags for our own targets (linked PRIVATE, so they never reach JUCE's sources;
# JUCE's and the system's headers come in as system headers and stay quiet).
add_library(vantrel_warnings INTERFACE)
