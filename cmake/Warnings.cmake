# Warning flags for our own targets. They are linked PRIVATE, so they never reach JUCE's
# sources; JUCE's, Boost's and the system's headers come in as system headers and stay quiet.
option(VANTREL_WERROR "Treat warnings in our own code as errors (CI turns this on)" OFF)

add_library(vantrel_warnings INTERFACE)
target_link_libraries(vantrel_warnings INTERFACE juce::juce_recommended_warning_flags)
# Beyond JUCE's set: floating-point values compared with == or != where a tolerance or an
# explicit exact comparison was meant.
target_compile_options(vantrel_warnings INTERFACE -Wextra -Wfloat-equal
    $<$<BOOL:${VANTREL_WERROR}>:-Werror>)
# GCC 12 misreads JUCE's ListenerList, which links its on-stack iterator into the list for the
# length of a call and unlinks it in the iterator's destructor, as a dangling pointer (reported
# in our files, where the call is inlined).
target_compile_options(vantrel_warnings INTERFACE $<$<CXX_COMPILER_ID:GNU>:-Wno-dangling-pointer>)
