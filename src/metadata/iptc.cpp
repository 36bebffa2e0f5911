#include "iptc.h"
