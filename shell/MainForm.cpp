#include "shell/MainForm.h"
