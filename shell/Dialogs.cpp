#include "shell/Dialogs.h"
