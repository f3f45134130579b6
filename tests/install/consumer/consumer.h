// Numbers shared by the consumer and its resources.
#pragma once

#define kConsumerFrame 300
#define kConsumerHelpTitle 301
#define kConsumerField 302
#define kConsumerHelpTable 400
#define kConsumerHelpSubtable 401
