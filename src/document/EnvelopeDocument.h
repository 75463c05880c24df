#pragma once

#include "TemplateDocument.h"

// An envelope: the template document under the envelope type.
class EnvelopeDocument : public TemplateDocument {};
