// The runtime's interfaces are public: the host kit implements them.
#pragma once
#include "../include/OrvexC/RuntimeInterfaces.h"
