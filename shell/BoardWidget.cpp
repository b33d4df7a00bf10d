#include "shell/BoardWidget.h"
