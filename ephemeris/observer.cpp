#include "ephemeris/observer.h"

Observer observer;
