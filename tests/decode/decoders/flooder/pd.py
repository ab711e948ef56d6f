import sigrokdecode as srd

class Decoder(srd.Decoder):
    api_version = 3
    id = 'flooder'
    name = 'Flooder'
    longname = 'Annotates without end'
    desc = 'Puts one annotation after another on the first sample, for ever.'
    license = 'gplv2+'
    inputs = ['logic']
    outputs = []
    tags = ['Debug']
    channels = ({'id': 'data', 'name': 'Data', 'desc': 'Data line'},)
    annotations = (('note', 'Note'),)

    def reset(self):
        pass

    def start(self):
        self.out_ann = self.register(srd.OUTPUT_ANN)

    def decode(self):
        while True:
            self.put(0, 1, self.out_ann, [0, ['again']])
