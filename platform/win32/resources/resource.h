#pragma once

// Resource ids shared by the resource script and the program.
#define IDI_QUILLMARROW 1
