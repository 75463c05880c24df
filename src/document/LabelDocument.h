#pragma once

#include "TemplateDocument.h"

// A sheet of labels: the template document under the label type.
class LabelDocument : public TemplateDocument {};
