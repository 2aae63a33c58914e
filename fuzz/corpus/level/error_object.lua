error({ 'not a text' })
