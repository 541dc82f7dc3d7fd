#include "app/VantrelApplication.h"

START_JUCE_APPLICATION (VantrelApplication)
