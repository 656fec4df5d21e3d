#include "model/RegisterImage.h"
