#pragma once
// A model header that reaches up into the renderer: the layering check must refuse it.
#include "core/model/Geometry.h"
#include "core/render/Renderer.h"
