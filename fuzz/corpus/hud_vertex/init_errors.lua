function init() error('init broke') end
function update() error({}) end
